#!/usr/bin/env bash
# The Debian package as a shop PC gets it: made by cpack from the suite's build, judged by
# lintian, unpacked into a temporary root and used there as a user would, with no display.
#   test_package.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
deb=$work/out/mobileshop_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root"

# Errors and warnings fail; what is left at info level is listed in the test's output.
lintian --pedantic --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
! grep -q '^[EW]:' "$work/lintian" || fail "lintian errors or warnings"
dpkg-deb -f "$deb" Suggests | grep -qw postgresql-client || fail "pg_dump's package is not suggested"

desktop-file-validate "$root/usr/share/applications/mobileshop.desktop" || fail "desktop entry"
appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream" 2>&1 ||
  { cat "$work/appstream"; fail "AppStream metadata"; }
! grep -q '^[EW]:' "$work/appstream" || { cat "$work/appstream"; fail "AppStream warnings"; }
[ -s "$root/usr/share/mobileshop/translations/qtbase_ko.qm" ] || fail "Qt's Korean catalogue not shipped"
! grep -rlF "$source" "$root/usr" || fail "the build machine's folders are in the package"

# The hardening the build asks for is in every program. Fortify is left out: the compiler only
# fortifies calls whose buffer sizes it knows, and it may find none in a program; control-flow
# protection is not among the hardening flags of this Debian.
programs=$(find "$root/usr/bin" "$root/usr/libexec" -type f)
# shellcheck disable=SC2086 # one word a program
hardening-check --nofortify --nocfprotection $programs >"$work/hardening" ||
  { cat "$work/hardening"; fail "hardening"; }

# Every program, on the PATH or a companion: a manual page for those on the PATH, --version,
# Korean --help, and without a display a Korean line and an exit code of its own, never abort.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" LANG=C.UTF-8 "$@"; }
mkdir -p "$work/home"
for program in "$root"/usr/bin/* "$root"/usr/libexec/mobileshop/*; do
  name=$(basename "$program")
  if [ "$(dirname "$program")" = "$root/usr/bin" ]; then
    page=$root/usr/share/man/man1/$name.1.gz
    if [ -f "$page" ]; then
      warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "man page of $name: $warnings"
      LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^이름" || fail "man page of $name does not render"
    else
      fail "no manual page for $name"
    fi
  fi
  code=0
  out=$(run "$program" --version 2>&1) || code=$?
  [ "$code" -eq 0 ] && [[ "$out" == *"$version"* ]] || fail "$name --version: rc $code, '$out'"
  code=0
  out=$(run "$program" --help 2>&1) || code=$?
  [ "$code" -eq 0 ] && [[ "$out" == 사용법:* ]] || fail "$name --help: rc $code"
  ! grep -qE '^(Usage|Options|Arguments):' <<<"$out" || fail "$name --help has Qt's English lines"
  for arguments in "" "--bogus"; do
    code=0
    # shellcheck disable=SC2086 # no argument or one
    err=$(run "$program" $arguments 2>&1 >/dev/null) || code=$?
    if [ "$code" -eq 0 ] || [ "$code" -ge 128 ]; then fail "$name $arguments without a display: rc $code"; fi
    grep -qP '\p{Hangul}' <<<"$err" || fail "$name $arguments without a display: '$err'"
    ! grep -qiE 'qt\.qpa|platform plugin|Unknown option' <<<"$err" || fail "$name $arguments: Qt's English '$err'"
  done
done
# A display named but not there ends in Korean too; the number is one no X server here holds.
for absent in $(seq 97 199); do
  [ -e "/tmp/.X$absent-lock" ] || [ -e "/tmp/.X11-unix/X$absent" ] || break
done
for program in "$root/usr/bin/mobileshop" "$root/usr/libexec/mobileshop/FloatMsg"; do
  code=0
  err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$absent HOME="$work/home" "$program" 2>&1 >/dev/null) ||
    code=$?
  [ "$code" -eq 1 ] && grep -q '화면(디스플레이)에 연결할 수 없어' <<<"$err" ||
    fail "$(basename "$program") on an unreachable display: rc $code, '$err'"
done
[ -x "$root/usr/bin/mobileshop-db-migrate" ] && [ -x "$root/usr/bin/mobileshop-postcode-import" ] ||
  fail "the database and postal-code commands are not on the PATH"
[ "$failed" -eq 0 ] && echo "package passes"
exit "$failed"
