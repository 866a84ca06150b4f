#!/usr/bin/env bash
# Prints figures, never fails on them: the time from start to window shown,
# for the program (--app) and, with --baseline EXE, for the minimal window built
# the same way, each started E2E_RUNS times (default 5) in the warm e2e prefix.
# By hand, after a Windows build (build/windows here):
#   tests/e2e/startup_figures.sh --app build/windows/app/zheqiao.exe \
#     --inspector build/windows/tests/e2e/zq_inspector.exe \
#     --work build/windows/tests/e2e \
#     --baseline build/windows/tests/e2e/zq_e2e_minimal_window.exe
set -u
args=()
baseline=
while [ $# -gt 0 ]; do
  case $1 in
    --baseline) baseline=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
# Carried into the namespace by the environment (e2e_begin passes on only the
# common arguments).
export E2E_BASELINE=${baseline:-${E2E_BASELINE:-}}
e2e_begin "${args[@]}"
e2e_serve 'www.baidu.com=date' 'pv.sohu.com=no-date'

measure() {
  local label=$1 runs=${E2E_RUNS:-5} times=() i
  for i in $(seq "$runs"); do
    e2e_start_app 2>/dev/null
    times+=("$E2E_WINDOW_MS")
    e2e_close_app
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  printf 'figure: %s: %s bytes, start to window shown in ms: %s(median %s)\n' "$label" \
    "$(stat -c %s "$E2E_APP")" "$sorted" "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")"
}

measure "$(basename "$E2E_APP")"
if [ -n "${E2E_BASELINE:-}" ]; then
  E2E_APP=$E2E_BASELINE E2E_CAPTION=e2e-minimal measure "$(basename "$E2E_BASELINE") (baseline)"
fi
e2e_end
