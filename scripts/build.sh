#!/usr/bin/env bash
# Configures and builds the editor, the command line, the tests and the
# benchmarks in build/ (one build tree for all of them).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUENFORT_GUI=ON -DQUENFORT_TESTS=ON -DQUENFORT_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
