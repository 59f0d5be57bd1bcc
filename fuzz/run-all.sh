#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a long time, at
# most JOBS at once, at the lowest priority. Each grows its own corpus in
# build-fuzz/corpus/<name> (seeded from fuzz/corpus/<name>); inputs that fail
# land in build-fuzz/findings/<name>/ (a target stops at its first), the log
# in build-fuzz/logs/<name>.log. Each finding becomes a seed in fuzz/corpus.
#   fuzz/run-all.sh [SECONDS_EACH=600] [JOBS=2] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
jobs=${2:-2}
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(level save conf import unpack check recording progress wav)
build=${KESTROVE_FUZZ_BUILD:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTROVE_FUZZ=ON -DBUILD_TESTING=OFF -DKESTROVE_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"

run_one() {
  local name=$1
  mkdir -p "$build/corpus/$name" "$build/findings/$name" "$build/logs"
  local start=$SECONDS
  # Each input gets 10 s and 2 GB: a hang or a giant allocation is a finding.
  nice -n 19 "$build/fuzz/fuzz_$name" "$build/corpus/$name" "fuzz/corpus/$name" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$build/findings/$name/" -print_final_stats=1 \
    >"$build/logs/$name.log" 2>&1 || true
  local execs corpus findings
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$' || echo "?")
  corpus=$(find "$build/corpus/$name" -type f | wc -l)
  findings=$(find "$build/findings/$name" -type f | wc -l)
  echo "$name: $((SECONDS - start)) s, ${execs} executions, corpus ${corpus} files, ${findings} findings"
}

for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  run_one "$name" &
done
wait
