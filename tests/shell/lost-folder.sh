#!/usr/bin/env bash
# A shop's database folder lost after the shop has worked in it (DBS/ moved away, as with a
# share that is not mounted): the real program under a display and a window manager, its
# boxes answered from the keyboard. No catalogue may be made and no picture touched, and the
# restore offer must show; with the folder put back the program starts to its login as before.
#   lost-folder.sh PROGRAM
set -euo pipefail
program=$1
export LANG=C.UTF-8 LC_ALL=C.UTF-8
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$work/log" >&2 2>/dev/null || true
  exit 1
}

for n in $(seq 150 250); do [ -e "/tmp/.X$n-lock" ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager must own the screen before the first window maps: under load, a window
# mapped while openbox was still starting stayed there but never counted as visible.
for _ in $(seq 100); do xdotool get_num_desktops >/dev/null 2>&1 && break; sleep 0.1; done

app=$work/app settings=$work/settings
mkdir -p "$app" "$settings"
printf '[MDAC_Check]\nCHECK_VALUE=YES\n' >"$settings/Kolva공통.ini"
printf '[Config]\nNoMsg=1\n' >"$settings/휴대폰관리.ini"

prog=
start() {
  (exec env -u QT_QPA_PLATFORM "$program" --app-folder "$app" --settings-root "$settings" >"$work/log" 2>&1) &
  prog=$!
  pids+=($prog)
}
# Prints the id of the visible window titled exactly $1, once it is there.
window() {
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$prog" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# Presses key in window $1 until that window is gone: under load the first press can come
# before the box takes the keyboard.
press() {
  for _ in 1 2 3 4 5; do
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    sleep 0.3
    xdotool key --clearmodifiers "$2"
    for _ in $(seq 20); do
      xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
      sleep 0.1
    done
  done
  fail "window $1 did not take $2"
}
# Waits for the program's end and sets rc to its exit code (not in a subshell: only this
# shell can wait for it).
await_end() {
  for _ in $(seq 100); do
    if ! kill -0 "$prog" 2>/dev/null; then
      rc=0
      wait "$prog" || rc=$?
      return
    fi
    sleep 0.1
  done
  fail "the program did not end"
}
# Checksums of the pictures, and with "all" of the database folder too, wherever it is now.
sums() {
  (cd "$app" && find IMG Image ${1:+DBS*} -type f -exec md5sum {} + | sed 's| DBS[^/]*/| DBS/|' | sort)
}

# The first day: the demo catalogue is made, the login shows.
start
window '휴대폰관리 로그인' >/dev/null || fail "no login window on the first start"
kill "$prog"
wait "$prog" 2>/dev/null || true
[ "$(ls "$app/IMG" | wc -l)" -gt 0 ] || fail "no pictures in the demo catalogue"
mkdir -p "$app/Backup"
: >"$app/Backup/DBS_20240514_183000.zip" # an archive to offer; refused, it is never read
before=$(sums all) pictures=$(sums)

mv "$app/DBS" "$app/DBS.away"
start
id=$(window '파일 경로 오류') || fail "no path question for the lost folder"
press "$id" alt+y
id=$(window '데이터 복원') || fail "no restore offer after the path question"
press "$id" alt+n
await_end
[ "$rc" = 1 ] || fail "a start ended on refusals must exit 1, not $rc"
[ ! -e "$app/DBS" ] || fail "a database folder was made in place of the lost one"
[ "$(sums all)" = "$before" ] || fail "pictures or database changed while the folder was gone"

mv "$app/DBS.away" "$app/DBS"
start
window '휴대폰관리 로그인' >/dev/null || fail "no login with the folder back"
kill "$prog"
wait "$prog" 2>/dev/null || true
[ "$(sums)" = "$pictures" ] || fail "pictures changed after the folder came back"
echo "lost folder: nothing made, nothing touched, restore offered"
