#!/usr/bin/env bash
# scripts/build configures only when the folder is new or its arguments changed: run against
# a cmake that records its calls.
set -euo pipefail
build="$(cd "$(dirname "$0")/../.." && pwd)/scripts/build"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/cmake" <<'STUB'
#!/usr/bin/env bash
echo "$*" >>"$CALLS"
if [ "$1" = "--fresh" ]; then touch "$BUILD_DIR/build.ninja"; fi
STUB
chmod +x "$work/bin/cmake"
export PATH="$work/bin:$PATH" CALLS="$work/calls" BUILD_DIR="$work/out"
unset CMAKE_ARGS BUILD_TYPE
mkdir "$BUILD_DIR"

failed=0
expect_configure() { # description, expected configure arguments or "none"
  local got
  got=$(grep -- '^--fresh' "$CALLS" | sed "s|--fresh -S . -B $BUILD_DIR -G Ninja ||" || true)
  [ -n "$got" ] || got=none
  if [ "$got" != "$2" ]; then
    echo "FAIL $1: configured with '$got', expected '$2'"
    failed=1
  fi
  grep -q -- '^--build' "$CALLS" || { echo "FAIL $1: no build"; failed=1; }
  : >"$CALLS"
}

"$build"
expect_configure "new folder" "-DCMAKE_BUILD_TYPE=RelWithDebInfo -DWARNINGS_AS_ERRORS=ON"
"$build"
expect_configure "same arguments" none
CMAKE_ARGS="-DSANITIZE=ON" "$build"
expect_configure "new CMAKE_ARGS" "-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON"
CMAKE_ARGS="-DSANITIZE=ON" BUILD_TYPE=Debug "$build"
expect_configure "new BUILD_TYPE" "-DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON"
rm "$BUILD_DIR/build.ninja"
CMAKE_ARGS="-DSANITIZE=ON" BUILD_TYPE=Debug "$build"
expect_configure "build files gone" "-DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON"
exit $failed
