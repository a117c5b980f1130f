#!/usr/bin/env bash
# Runs the fuzz targets longer than the test command does, by hand:
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#
# SECONDS per target (300 unless given), every target unless named
# (formatloader line datafile settings connectionstring), two at a time. The
# inputs that grow the coverage collect in build-fuzz/tests/fuzz/found/TARGET;
# an input that breaks a property or crashes is written to
# build-fuzz/tests/fuzz/artifacts/ and the run reports it. Once the fault is
# mended, copy the input into tests/fuzz/corpus/TARGET so every test run
# tries it again.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(formatloader line datafile settings connectionstring); fi

scripts/build-fuzz.sh
dir=build-fuzz/tests/fuzz
mkdir -p "$dir/artifacts" "$dir/logs"

run() {
  local target=$1
  mkdir -p "$dir/found/$target"
  if "$dir/fuzz_$target" -max_total_time="$seconds" -max_len="$(cat "$dir/fuzz_$target.max_len")" \
      -rss_limit_mb=2048 -artifact_prefix="$dir/artifacts/$target-" \
      "$dir/found/$target" "tests/fuzz/corpus/$target" >"$dir/logs/$target.log" 2>&1; then
    echo "$target: nothing found in $seconds s ($(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/logs/$target.log" || tail -1 "$dir/logs/$target.log"))"
  else
    echo "$target: FOUND a fault, see $dir/logs/$target.log and $dir/artifacts/"
    return 1
  fi
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    run "$target" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
