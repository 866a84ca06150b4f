#!/usr/bin/env bash
# Sets up, builds zheqiao.exe and starts it.
# - Linux: builds with MinGW-w64 (the windows-release preset) and runs the exe
#   under Wine, in a prefix of its own in the build tree. With a display
#   ($DISPLAY reachable) the window opens there and the script waits until it
#   is closed. Without one it runs in a virtual display (Xvfb) for
#   ZQ_RUN_SECONDS seconds (default 6), saves a screenshot and prints its path.
# - Windows (Git Bash, MSYS2, Cygwin): builds with CMake and starts the exe; the
#   system asks for administrator rights, as the program's manifest demands.
# Nothing here talks to the network except package installation by setup.sh;
# the program itself reaches its two web hosts, as it does for any user.
set -euo pipefail
cd "$(dirname "$0")/.."

on_windows() {
  case "$(uname -s)" in MINGW* | MSYS* | CYGWIN*) return 0 ;; *) return 1 ;; esac
}

if on_windows; then
  build=build/windows-host
  generator=()
  command -v ninja >/dev/null && generator=(-G Ninja)
  cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=MinSizeRel -DZQ_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --config MinSizeRel --target zheqiao
  exe=$(find "$build" -name zheqiao.exe -type f | head -n1)
  [ -n "$exe" ] || { echo "run: zheqiao.exe was not built" >&2; exit 1; }
  echo "run: starting $exe"
  # Through the shell's "start", so the elevation prompt of the manifest appears
  # (a plain CreateProcess of it fails with ERROR_ELEVATION_REQUIRED).
  cmd //c start "" "$(cygpath -w "$exe")"
  exit 0
fi

scripts/setup.sh
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release --target zheqiao
build=build/windows-release
exe=$(cd "$build/app" && pwd)/zheqiao.exe
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }
echo "run: built $exe ($(stat -c %s "$exe") bytes)"

run_dir=$(mkdir -p "$build/run" && cd "$build/run" && pwd)
export WINEPREFIX="$run_dir/wineprefix"
# zh_CN.UTF-8 makes Wine's ANSI code page 936, the program's; no Mono or Gecko
# installers are offered.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
log="$run_dir/wine.log"
: >"$log"

# The first Wine process of a prefix leaves services behind that hold on to its
# output: make the prefix with output to /dev/null, not to this terminal or pipe.
if [ ! -f "$WINEPREFIX/.ready" ]; then
  echo "run: making the Wine prefix $WINEPREFIX (once, about 10 s)"
  wine cmd /c exit </dev/null >/dev/null 2>&1
  touch "$WINEPREFIX/.ready"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: starting zheqiao.exe under Wine on display $DISPLAY; close its window to end"
  status=0
  (cd "$(dirname "$exe")" && wine "$exe") </dev/null >>"$log" 2>&1 || status=$?
  echo "run: zheqiao.exe ended with exit code $status"
  exit "$status"
fi

# No display: a virtual one, long enough to see the window filled, then a picture.
seconds=${ZQ_RUN_SECONDS:-6}
xvfb_pid=
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
display_file="$run_dir/xvfb.display"
: >"$display_file"
# -displayfd picks a free display number (a fixed one can meet a stale lock).
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" </dev/null >>"$log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "run: Xvfb did not start (see $log)" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
echo "run: no display; starting zheqiao.exe under Wine in a virtual one ($DISPLAY) for $seconds s"
# Wine's virtual desktop draws the window's frame and caption without a
# window manager.
(cd "$(dirname "$exe")" && wine explorer /desktop=zheqiao,1280x800 "$exe") </dev/null >>"$log" 2>&1 &
sleep "$seconds"
screenshot="$run_dir/screenshot.png"
import -window root "$screenshot"
echo "run: screenshot saved: $screenshot"
