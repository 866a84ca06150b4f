#!/usr/bin/env bash
# Runs a Windows test program that makes windows: under Wine, in a virtual X
# display (Xvfb) of its own, in a Wine prefix of its own whose default desktop
# is a 1280 x 800 virtual desktop (without a window manager, Wine waits about
# 2 s whenever a top-level window is hidden or destroyed; the virtual desktop
# draws frames and captions itself).
#
# usage: run_with_display.sh STATE_DIR PROGRAM [ARGUMENTS...]
set -euo pipefail
state_dir=$1
shift
mkdir -p "$state_dir"
state_dir=$(cd "$state_dir" && pwd)

export WINEPREFIX="$state_dir/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export TZ="${TZ:-Asia/Shanghai}"

# One run at a time: the prefix and its wineserver are shared.
exec 8>"$state_dir/lock"
flock 8
# Whatever an interrupted run left in this prefix goes first: its wineserver
# would still speak to that run's display.
[ -d "$WINEPREFIX" ] && { wineserver -k </dev/null >/dev/null 2>&1 8>&- || true; }

# A free display number from Xvfb itself (-displayfd): a fixed number can
# meet a stale lock file and leave Wine without a display.
display_file=$(mktemp "$state_dir/display.XXXXXX")
Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$display_file" </dev/null >/dev/null 2>&1 8>&- &
xvfb_pid=$!
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "run_with_display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"

# Wine's background services (wineserver, explorer with the desktop) must not
# inherit CTest's output pipe or the lock, or CTest waits for them forever:
# they start here with both closed.
if [ ! -f "$WINEPREFIX/.ready" ]; then
  wine cmd /c exit </dev/null >/dev/null 2>&1 8>&-
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 8>&-
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f \
    </dev/null >/dev/null 2>&1 8>&-
  wineserver -k </dev/null >/dev/null 2>&1 || true  # the desktop setting takes effect for the next server
  touch "$WINEPREFIX/.ready"
fi
wineserver -p 60 </dev/null >/dev/null 2>&1 8>&-
wine cmd /c exit </dev/null >/dev/null 2>&1 8>&-

set +e
timeout 600 wine "$@" 8>&-
status=$?
exit $status
