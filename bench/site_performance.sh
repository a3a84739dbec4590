#!/bin/sh
# Lighthouse 12.2.3's mobile performance score, largest contentful paint and
# layout shift for every page of the sample site (the judged-pages browser
# test, which also fails on pictures that are not sized, responsive and in
# modern formats). Goal on a quiet machine: at least 95, paint under 2.5 s.
#
#     bench/site_performance.sh BUILD_FOLDER
set -e
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
QUENFORT_TEST_TOOLS=${QUENFORT_TEST_TOOLS:-$HOME/.cache/quenfort-test-tools} \
    /usr/bin/python3 "$here/tests/browser/judged_pages_test.py" "$build/src/cli/quenfort-cli" |
    grep "mobile performance" || true
