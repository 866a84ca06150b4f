#!/usr/bin/env bash
# Builds zheqiao.exe as released (MinSizeRel) beside a minimal Win32 window
# built the same way, prints the size of both, and times each from its start
# to its window being shown under Wine in a virtual display. Prints figures;
# it checks nothing.
#
# usage: app/tools/measure_startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-15}
build=build/app-measure

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DZQ_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target zheqiao minimal_window startup_timer -j2 >/dev/null

for exe in zheqiao minimal_window; do
  printf '%-16s %8d bytes\n' "$exe.exe" "$(stat -c %s "$build/app/$exe.exe")"
done

# Both are timed in turn in one session of the virtual display; the first
# start pays for Wine loading its libraries, which the median leaves out.
tests/app/run_with_display.sh "$build/display-state" "$build/app/startup_timer.exe" "$runs" \
  "Z:$(pwd)/$build/app/minimal_window.exe" MinimalWindow \
  "Z:$(pwd)/$build/app/zheqiao.exe" 柘桥 | tail -n 2
