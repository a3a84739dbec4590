#!/usr/bin/env bash
# Builds and runs the benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
for program in build/bench/bench_*; do
  [ -x "$program" ] && "$program"
done
