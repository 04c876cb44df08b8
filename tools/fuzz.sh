#!/usr/bin/env bash
# Runs the fuzz targets of the portable core one after another, each for
# SECONDS (default 180), at the lowest priority, and prints the executions
# per target. The test command runs it with 5 seconds.
#   tools/fuzz.sh [SECONDS] [TARGET...]      targets as in tests/fuzz/, e.g. tar_archive
# New inputs go to build/fuzz/corpus/<target> (the seeds in tests/fuzz/corpus
# are only read); a finding is written to build/fuzz/findings/ and ends the
# script with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-180}
shift || true
make --no-print-directory fuzz >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(ls tests/fuzz/corpus))
fi
mkdir -p build/fuzz/findings
# A smaller quarantine for freed blocks and no filling of new ones: the
# address checks stay, the executions per second more than double.
export ASAN_OPTIONS="quarantine_size_mb=16:max_malloc_fill_size=0"
status=0
for target in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  log="build/fuzz/$target.log"
  if nice -n 19 "build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="build/fuzz/findings/$target-" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: $runs executions in ${seconds} s, no finding"
  else
    echo "fuzz $target: FINDING (see $log and build/fuzz/findings/)"
    tail -n 30 "$log"
    status=1
  fi
done
exit $status
