#!/usr/bin/env bash
# Installs what is missing (Debian's packages, and the clients that judge the
# published pages from npm), builds everything and runs every test: the core,
# GUI and command-line tests and the browser tests under ctest, the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for
# FUZZ_SECONDS (45 by default) on inputs of up to 64 KB, starting from its
# seeds in fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
QUENFORT_TEST_TOOLS=$(bash scripts/install-test-tools.sh)
export QUENFORT_TEST_TOOLS
bash scripts/build.sh

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
(cd build && ctest --output-on-failure -j"$(nproc)") | tee "$log"

echo "== sanitizer build of the core tests and the fuzz targets =="
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQUENFORT_GUI=OFF -DQUENFORT_TESTS=ON -DQUENFORT_SANITIZE=ON -DQUENFORT_FUZZ=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target core_tests quenfort_fuzz_targets
(cd build-asan && ctest --output-on-failure -L core -j"$(nproc)") | tee -a "$log"

bash scripts/fuzz.sh "${FUZZ_SECONDS:-45}"
# One closing line over both ctest runs.
total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" |
  awk '{ sum += $1 } END { print sum + 0 }')
echo "tests: ${total} passed, 0 failed"
