#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build/fuzz and runs each for a number of
# seconds, then prints executions and executions per second of each.
#
#   fuzz/run.sh              the short run of the CI: 10 s a target
#   fuzz/run.sh 600          the longer run: ten minutes a target
#   fuzz/run.sh 60 http_date_fuzz   one target only
#
# Each target starts from its committed seeds (fuzz/seeds/<area>/) and from
# the corpus the earlier runs grew in build/fuzz/corpus/<target>/; crash files
# go to build/fuzz/crashes/<target>/. Nothing generated is committed. A crash
# makes the script fail; reproduce it with `build/fuzz/<target> <crash file>`
# and turn it into a unit test of the module.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
out=build/fuzz

all_targets=(text_ops_fuzz text_between_fuzz header_block_fuzz merge_cookies_fuzz
  returned_cookies_fuzz http_date_fuzz os_description_fuzz)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

cmake -S fuzz -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" -j "$(nproc)" --target "${targets[@]}"

# The committed seeds and the dictionary of each target's area.
seeds_of() { local area=${1%_fuzz}; [ -d "fuzz/seeds/$area" ] && echo "fuzz/seeds/$area"; true; }
dict_of() {
  case $1 in
    http_date_fuzz) echo fuzz/dicts/http_date.dict ;;
    header_block_fuzz | merge_cookies_fuzz | returned_cookies_fuzz) echo fuzz/dicts/headers.dict ;;
  esac
}

failed=()
summary=()
for target in "${targets[@]}"; do
  mkdir -p "$out/corpus/$target" "$out/crashes/$target" "$out/logs"
  log="$out/logs/$target.log"
  options=(-max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048
    -print_final_stats=1 -artifact_prefix="$out/crashes/$target/")
  dict=$(dict_of "$target")
  [ -z "$dict" ] || options+=(-dict="$dict")
  seeds=$(seeds_of "$target")
  printf '=== %s: %s s\n' "$target" "$seconds"
  # shellcheck disable=SC2086  # $seeds is one folder or nothing
  if "$out/$target" "${options[@]}" "$out/corpus/$target" $seeds >"$log" 2>&1; then
    status=ok
  else
    status=CRASH
    failed+=("$target")
    grep -E 'ERROR|invariant broken|runtime error|Test unit written to' "$log" | head -20 || true
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  corpus=$(find "$out/corpus/$target" -type f | wc -l)
  summary+=("$(printf '%-24s %-6s %12s %10s %8s' "$target" "$status" "${runs:-?}" "${speed:-?}" "$corpus")")
done

printf '\n%-24s %-6s %12s %10s %8s\n' target result executions exec/s corpus
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  printf '\nfuzz: crashes in %s (logs in %s/logs, inputs in %s/crashes)\n' "${failed[*]}" "$out" "$out" >&2
  exit 1
fi
