#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# the core instrumented for coverage) in build-asan and runs each one for
# SECONDS (45 by default) on inputs of up to 64 KB, starting from its seeds in
# fuzz/corpus/<target> and from what earlier runs found in
# build-asan/fuzz-corpus/<target>. Prints, for each target, the executions,
# their rate and the coverage reached; stops at the first target that fails.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQUENFORT_GUI=OFF -DQUENFORT_TESTS=ON -DQUENFORT_SANITIZE=ON -DQUENFORT_FUZZ=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target quenfort_fuzz_targets
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for target in build-asan/fuzz/fuzz_*; do
    [ -x "$target" ] && targets+=("$(basename "$target")")
  done
fi
for name in "${targets[@]}"; do
  mkdir -p "build-asan/fuzz-corpus/$name"
  echo "== fuzzing $name for ${seconds}s =="
  log=$(mktemp)
  # -len_control=0: inputs reach the full length at once, not after hours.
  status=0
  "build-asan/fuzz/$name" -max_total_time="$seconds" -max_len=65536 -len_control=0 \
    -print_final_stats=1 -artifact_prefix=build-asan/ \
    "build-asan/fuzz-corpus/$name" "fuzz/corpus/${name#fuzz_}" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    rm -f "$log"
    echo "fuzz: $name failed (exit $status); the input is in build-asan/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1)
  echo "$name: ${runs:-0} executions, ${rate:-0}/s, ${coverage:-cov: 0}, ${features:-ft: 0}"
  rm -f "$log"
done
