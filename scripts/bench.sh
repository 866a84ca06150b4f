#!/usr/bin/env bash
# The performance figures of zheqiao.exe: a command, not a test. It builds the
# released exe (preset windows-release) and the minimal Win32 window built the
# same way (app/tools/minimal_window_win.cpp: MinSizeRel, stripped, the same
# toolchain and flags), then prints one table, each figure beside the minimal
# window's where one applies:
#   - the size of the exe and the DLLs it imports (all system DLLs);
#   - start to window shown, and to all one-shot readouts filled (编辑框3 to
#     编辑框7 not empty), the median of several starts (the first start of each,
#     which pays for Wine loading its libraries, is left out);
#   - processor share while idle, with the clock readouts ticking against a
#     local time server (the program's Wine process, and wineserver beside it);
#   - processor share during a DNS change whose stand-in netsh.exe sleeps 3 s;
#   - peak memory (VmHWM of the Wine process) after the idle period.
# Everything runs under Wine in a virtual display, inside a network namespace
# of its own with local servers only (the end-to-end harness). The figures are
# those of this machine and this run; docs/performance.md keeps the method and
# the latest table.
#
# usage: scripts/bench.sh [--runs N] [--idle SECONDS] [--tools BUILD_DIR]
#   --tools: a Windows build with the tests, for the harness's programs
#            (zq_inspector, the stand-in netsh, zq_perf_probe); default
#            build/windows (preset windows), built here when needed.
set -u
# The harness runs this script again inside the namespace by its path: make it
# absolute.
[ "${0:0:1}" = / ] || exec bash "$(cd "$(dirname "$0")" && pwd)/$(basename "$0")" "$@"
cd "$(dirname "$0")/.."
root=$(pwd)

if [ -z "${E2E_INSIDE:-}" ]; then
  runs=7
  idle=30
  tools=build/windows
  while [ $# -gt 0 ]; do
    case $1 in
      --runs) runs=$2; shift 2 ;;
      --idle) idle=$2; shift 2 ;;
      --tools) tools=$2; shift 2 ;;
      *) echo "usage: scripts/bench.sh [--runs N] [--idle SECONDS] [--tools BUILD_DIR]" >&2; exit 2 ;;
    esac
  done
  set -e
  release=build/windows-release
  echo "bench: building the released exe and the minimal window ($release)" >&2
  cmake --preset windows-release >/dev/null
  cmake --build --preset windows-release --target zheqiao minimal_window >/dev/null
  echo "bench: building the harness's programs ($tools)" >&2
  if [ ! -f "$tools/CMakeCache.txt" ]; then
    if [ "$tools" = build/windows ]; then
      cmake --preset windows >/dev/null
    else
      cmake -S . -B "$tools" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
    fi
  fi
  cmake --build "$tools" --target zq_inspector zq_netsh_standin zq_perf_probe >/dev/null
  set +e
  export BENCH_RUNS=$runs BENCH_IDLE=$idle
  export BENCH_APP="$root/$release/app/zheqiao.exe" BENCH_BASELINE="$root/$release/app/minimal_window.exe"
  export E2E_CASE=bench
  args=(--app "$BENCH_APP" --inspector "$root/$tools/tests/e2e/zq_inspector.exe"
    --netsh "$root/$tools/tests/e2e/netsh.exe" --work "$root/$release/bench")
else
  args=("$@")
fi

# From here on inside the namespace (e2e_begin runs this script again there).
source "$root/tests/e2e/harness.sh"
e2e_begin "${args[@]}"
probe="$(dirname "$E2E_INSPECTOR")/zq_perf_probe.exe"
[ -f "$probe" ] || e2e_die "no $probe"

# --- static figures -------------------------------------------------------------------
imports() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { print $3 }' | tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' '
}
app_size=$(stat -c %s "$BENCH_APP")
base_size=$(stat -c %s "$BENCH_BASELINE")
app_imports=$(imports "$BENCH_APP")
# Only DLLs every Windows has: no runtime of the compiler (libstdc++, libgcc,
# libwinpthread) travels with the exe.
case " $app_imports" in
  *" lib"*) app_imports="$app_imports(NOT all system DLLs) " ;;
esac
base_imports=$(imports "$BENCH_BASELINE")

# --- the stage: servers, an adapter, the stand-in netsh ---------------------------------
cityjson=$(e2e_file cityjson 'var returnCitySN = {"cip": "203.0.113.7", "cid": "110000", "cname": "北京市"};')
e2e_serve 'www.baidu.com=date' "pv.sohu.com=body:$cityjson"
# An adapter with an address, so that the local address and MAC readouts fill.
ip link add zqbench0 type veth peer name zqbench1 || e2e_die "cannot make a veth pair"
ip addr add 192.0.2.10/24 dev zqbench0 && ip link set zqbench0 up && ip link set zqbench1 up
e2e_netsh_standin $'确定。\r\n' 3 0
cp "$BENCH_APP" "$E2E_APP_DIR/zheqiao.exe"
cp "$BENCH_BASELINE" "$E2E_APP_DIR/minimal_window.exe"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "n/a" }'; }

# --- start-up ----------------------------------------------------------------------------
# zq_perf_probe starts each program, polls every 2 ms, answers its boxes and
# closes it; the two programs take turns, so a busy machine weighs on both.
readouts=("320,79" "320,193" "320,19" "320,136" "80,193")  # 编辑框3, 4, 5, 6, 7
app_win=$(winepath -w "$E2E_APP_DIR/zheqiao.exe" 2>/dev/null)
base_win=$(winepath -w "$E2E_APP_DIR/minimal_window.exe" 2>/dev/null)
: >"$E2E_CASE_DIR/startup-app.txt"
: >"$E2E_CASE_DIR/startup-base.txt"
for run in $(seq $((BENCH_RUNS + 1))); do
  app_line=$(wine "$probe" startup 1 "$app_win" "$E2E_CAPTION" "${readouts[@]}" </dev/null 2>/dev/null | head -n1)
  base_line=$(wine "$probe" startup 1 "$base_win" MinimalWindow </dev/null 2>/dev/null | head -n1)
  e2e_log "start $run: $app_line | $base_line"
  [ "$run" -eq 1 ] && continue  # Wine's first loads
  echo "$app_line" >>"$E2E_CASE_DIR/startup-app.txt"
  echo "$base_line" >>"$E2E_CASE_DIR/startup-base.txt"
done
field_median() { while read -r line; do e2e_field "$line" "$2"; echo; done <"$1" | grep . | median; }
app_shown=$(field_median "$E2E_CASE_DIR/startup-app.txt" shown_ms)
app_filled=$(field_median "$E2E_CASE_DIR/startup-app.txt" filled_ms)
base_shown=$(field_median "$E2E_CASE_DIR/startup-base.txt" shown_ms)

# --- processor share and memory ---------------------------------------------------------
ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
server_pid() { pgrep -x -n wineserver64 || pgrep -x -n wineserver; }
share() { awk -v t="$1" -v ms="$2" -v hz="$ticks_per_second" 'BEGIN { printf "%.1f %%", 100 * t / hz / (ms / 1000) }'; }

# measure_idle: the processor share of the running program (E2E_APP_PID) and
# of wineserver over BENCH_IDLE seconds; sets IDLE_APP, IDLE_SERVER, PEAK_KIB.
measure_idle() {
  local server a0 s0 t0 a1 s1 t1
  server=$(server_pid)
  a0=$(cpu_ticks "$E2E_APP_PID") s0=$(cpu_ticks "$server") t0=$(e2e_now_ms)
  sleep "$BENCH_IDLE"
  a1=$(cpu_ticks "$E2E_APP_PID") s1=$(cpu_ticks "$server") t1=$(e2e_now_ms)
  IDLE_APP=$(share $((a1 - a0)) $((t1 - t0)))
  IDLE_SERVER=$(share $((s1 - s0)) $((t1 - t0)))
  PEAK_KIB=$(awk '$1 == "VmHWM:" { print $2 }' "/proc/$E2E_APP_PID/status")
}

# The minimal window first: nothing ticks in it.
E2E_APP=$BENCH_BASELINE E2E_CAPTION=MinimalWindow e2e_start_app 2>/dev/null
sleep 3
measure_idle
base_idle_app=$IDLE_APP base_idle_server=$IDLE_SERVER base_peak=$PEAK_KIB
E2E_CAPTION=MinimalWindow e2e_close_app

e2e_start_app 2>/dev/null
e2e_dismiss_messages 1500  # the administrator notice
sleep 5                    # the one-shot readouts, the first ticks
measure_idle
app_idle_app=$IDLE_APP app_idle_server=$IDLE_SERVER app_peak=$PEAK_KIB
requests_before=$(grep -c '"www.baidu.com"' "$E2E_HTTP_LOG")

# A DNS change: 按钮2, the warning answered, two netsh commands of 3 s each,
# until the notice of success.
e2e_inspect click "$E2E_CAPTION" @12,304 >/dev/null
e2e_inspect wait-message 10000 >/dev/null || e2e_log "no warning before the DNS change"
server=$(server_pid)
a0=$(cpu_ticks "$E2E_APP_PID") s0=$(cpu_ticks "$server") t0=$(e2e_now_ms)
e2e_inspect answer 1 0 >/dev/null
notice=$(e2e_inspect wait-message 30000 恭喜)
a1=$(cpu_ticks "$E2E_APP_PID") s1=$(cpu_ticks "$server") t1=$(e2e_now_ms)
dns_ms=$((t1 - t0))
dns_app=$(share $((a1 - a0)) "$dns_ms")
dns_server=$(share $((s1 - s0)) "$dns_ms")
[ -n "$notice" ] || e2e_log "no notice of success after the DNS change"
commands=$(e2e_netsh_log | wc -l)
e2e_close_app

# --- the table -----------------------------------------------------------------------------
printf '\n| figure | zheqiao.exe | minimal window (baseline) |\n|---|---|---|\n'
printf '| exe size | %s bytes | %s bytes |\n' "$app_size" "$base_size"
printf '| imported DLLs | %s| %s|\n' "$app_imports" "$base_imports"
printf '| start to window shown (median of %s) | %s ms | %s ms |\n' "$BENCH_RUNS" "$app_shown" "$base_shown"
printf '| start to one-shot readouts filled (编辑框3..7) | %s ms | - |\n' "$app_filled"
printf '| processor, idle %s s, readouts ticking: program / wineserver | %s / %s | %s / %s |\n' \
  "$BENCH_IDLE" "$app_idle_app" "$app_idle_server" "$base_idle_app" "$base_idle_server"
printf '| processor during a DNS change (%s netsh runs of 3 s, %s ms): program / wineserver | %s / %s | - |\n' \
  "$commands" "$dns_ms" "$dns_app" "$dns_server"
printf '| peak memory (VmHWM) after the idle period | %s KiB | %s KiB |\n' "$app_peak" "$base_peak"
printf '\n(%s requests to the time server during the idle period and before; %s processors, %s)\n' \
  "$requests_before" "$(nproc)" "$(wine --version 2>/dev/null)"
e2e_end
