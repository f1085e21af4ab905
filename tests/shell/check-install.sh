#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses what landed there as a user would: help
# and version with no display, then the program itself on a fresh home with no MOBILESHOP_*
# variables, which must find its companion FirstCheck from bin/, go on into its start-up and
# stay up (at its login window; a screenshot under Xvfb shows that part).
#   check-install.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 version=$3
prefix=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$prefix"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix/usr" >/dev/null
for f in bin/mobileshop libexec/mobileshop/FirstCheck libexec/mobileshop/FloatMsg libexec/mobileshop/데이터압축 libexec/mobileshop/db-migrate; do
  [ -x "$prefix/usr/$f" ] || fail "not installed as a program: $f"
done
[ -z "$(ls "$prefix/usr/bin" | grep -vxE 'mobileshop(-db-migrate|-postcode-import)?')" ] ||
  fail "companions belong in libexec/, not bin/"
for link in db-migrate postcode-import; do
  [ "$(readlink -f "$prefix/usr/bin/mobileshop-$link")" = "$(readlink -f "$prefix/usr/libexec/mobileshop/$link")" ] ||
    fail "mobileshop-$link does not lead to libexec/mobileshop/$link"
done
desktop=$prefix/usr/share/applications/mobileshop.desktop
for line in 'Name=휴대폰관리' 'Exec=mobileshop' 'Icon=mobileshop' 'Categories=Office;' 'Type=Application' \
            'Actions=network-setup;' 'Exec=mobileshop --network-setup'; do
  grep -qxF "$line" "$desktop" || fail "$desktop lacks $line"
done
icon=$prefix/usr/share/icons/hicolor/scalable/apps/mobileshop.svg
grep -q '<svg' "$icon" || fail "no SVG icon"

# A plain session: no display, no platform, no variables of ours.
run() { env -i PATH=/usr/bin:/bin HOME="$prefix/home" LANG=C.UTF-8 "$@"; }
mkdir -p "$prefix/home"
run "$prefix/usr/bin/mobileshop" --help | grep -q -- '--app-folder 폴더' || fail "--help"
[ "$(run "$prefix/usr/bin/mobileshop" --version)" = "휴대폰관리 $version" ] || fail "--version"
if run "$prefix/usr/bin/mobileshop" --demo nope 2>"$prefix/err"; then fail "unknown demo accepted"; fi
grep -q '알 수 없는 데모 창입니다' "$prefix/err" || fail "unknown demo message"

# A demo that reads the catalogue prepares a fresh home as the first start does, as privately.
demo=$prefix/demo-home/.local/share/MobileShop
mkdir -p "$prefix/demo-home"
(exec env -i PATH=/usr/bin:/bin HOME="$prefix/demo-home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
   XDG_RUNTIME_DIR="$prefix/run" "$prefix/usr/bin/mobileshop" --demo chart >"$prefix/log" 2>&1) &
pid=$!
for _ in $(seq 1 100); do
  [ -s "$demo/DBS/dbMain.db" ] && [ -s "$demo/DBS/dbPost.db" ] && break
  sleep 0.2
done
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$prefix/log" >&2; fail "--demo chart ended instead of showing the chart"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ "$(sqlite3 "$demo/DBS/dbMain.db" "select count(*) from t_mobile where mcode <> ''")" -gt 0 ] ||
  fail "--demo chart in a fresh home has no demo catalogue"
[ "$(stat -c %a "$demo")" = 700 ] && [ "$(stat -c %a "$demo/DBS/dbMain.db")" = 600 ] ||
  fail "--demo chart made a fresh folder others can read"

# exec, so that $! is the program itself and the clean-up ends it rather than a subshell.
(exec env -i PATH=/usr/bin:/bin HOME="$prefix/home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$prefix/run" \
   "$prefix/usr/bin/mobileshop" >"$prefix/log" 2>&1) &
pid=$!
ini="$prefix/home/.config/MobileShop/Kolva공통.ini"
for _ in $(seq 1 150); do
  grep -q '^CHECK_VALUE=YES' "$ini" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
grep -q '^CHECK_VALUE=YES' "$ini" 2>/dev/null || { cat "$prefix/log" >&2; fail "FirstCheck did not run from the installed tree"; }
[ -f "$prefix/home/.local/share/MobileShop/DBS/dbMain.db" ] || fail "no database in the fresh home"
for _ in $(seq 1 50); do
  grep -q '^AppPath=' "$prefix/home/.config/MobileShop/휴대폰관리.ini" 2>/dev/null && break
  sleep 0.2
done
grep -q '^AppPath=' "$prefix/home/.config/MobileShop/휴대폰관리.ini" || fail "start-up stopped after FirstCheck"
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$prefix/log" >&2; fail "the program ended instead of showing its login"; }
echo "installed tree works"
