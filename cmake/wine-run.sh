#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest (CMAKE_CROSSCOMPILING_EMULATOR).
# The prefix lives in the build tree; zh_CN.UTF-8 makes the ANSI code page 936.
set -u
build_dir=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export TZ="${TZ:-Asia/Shanghai}"
# Wine's background services must never inherit CTest's output pipe (or the
# lock below), or CTest waits for them forever: the server and the prefix start
# detached from both, once per prefix.
(
  flock 9
  # wineserver -p answers 0 only when it had to start a new server; the
  # services then start with the next Wine process, which must be this one.
  if wineserver -p 120 </dev/null >/dev/null 2>&1 9>&- || [ ! -f "$WINEPREFIX/.ready" ]; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    touch "$WINEPREFIX/.ready"
  fi
) 9>"$build_dir/wineprefix.lock"
exec wine "$@"
