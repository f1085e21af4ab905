#!/usr/bin/env bash
# scripts/check-format names exactly the files clang-format would change, over a small tree.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-format"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/a" "$work/tests" "$work/tools" "$work/bench"
printf 'BasedOnStyle: LLVM\nIndentWidth: 4\n' >"$work/.clang-format"
printf 'int good() { return 1; }\n' >"$work/src/a/good.cpp"
printf 'int  bad( ) {return 2;}\n' >"$work/src/a/bad.cpp"
printf '#pragma once\nint   also();\n' >"$work/tests/also.h"
printf 'int  notCpp;\n' >"$work/tools/notes.txt"

failed=0
set +e
out=$("$check" "$work" 2>&1)
rc=$?
set -e
expected=$'not formatted: src/a/bad.cpp\nnot formatted: tests/also.h'
[ $rc -eq 1 ] || { echo "FAIL unformatted tree: exit $rc, expected 1"; failed=1; }
[ "$out" = "$expected" ] || { printf 'FAIL listed:\n%s\nexpected:\n%s\n' "$out" "$expected"; failed=1; }

rm "$work/src/a/bad.cpp" "$work/tests/also.h"
out=$("$check" "$work" 2>&1) || { echo "FAIL formatted tree: $out"; failed=1; }
[ "$out" = "formatted: 1 files" ] || { echo "FAIL formatted tree said: $out"; failed=1; }
exit $failed
