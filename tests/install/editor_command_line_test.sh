#!/usr/bin/env bash
# The editor's command line without a display: --help and --version answer,
# a wrong argument is one line on stderr and exit status 2.
#   editor_command_line_test.sh QUENFORT VERSION
set -euo pipefail
editor=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/site"
touch "$work/site/index.html" "$work/notes.txt"

run() { # run STATUS ARGUMENTS...: runs the editor with no display at all
    local expected=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$editor" "$@" \
        >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq "$expected" ] || fail "'$*' exited $status, not $expected: $(cat "$work/err")"
}

run 0 --version
[ "$(cat "$work/out")" = "quenfort $version" ] || fail "--version printed '$(cat "$work/out")'"
run 0 -v
grep -qx "quenfort $version" "$work/out" || fail "-v"

run 0 --help
head -n 1 "$work/out" | grep -qx 'Usage: quenfort \[options\] \[FOLDER | PAGE.html\]' ||
    fail "--help's first line: $(head -n 1 "$work/out")"
grep -q -- "--version" "$work/out" || fail "--help does not name --version"
[ ! -s "$work/err" ] || fail "--help wrote to stderr"

# Each mistake: one line, naming what is wrong.
one_line() {
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "not one line: $(cat "$work/err")"
    grep -q "$1" "$work/err" || fail "'$1' not in: $(cat "$work/err")"
}
run 2 "$work/site" "$work/site/index.html"
one_line "one too many"
run 2 "$work/notes.txt"
one_line "neither a project folder nor a page"
run 2 "$work/missing.html"
one_line "does not exist"
run 2 --frobnicate
one_line "frobnicate"
run 2 -bogus
one_line "'bogus'"

# With a display, Qt's own options are Qt's: the mistake is still the
# second path.
status=0
QT_QPA_PLATFORM=offscreen "$editor" -style Fusion "$work/site" "$work/site" >"$work/out" \
    2>"$work/err" || status=$?
[ "$status" -eq 2 ] || fail "with -style: exited $status: $(cat "$work/err")"
grep -v "^QStandardPaths:" "$work/err" >"$work/err.own" || true
mv "$work/err.own" "$work/err"
one_line "one too many"

# Sound arguments without a display: the display is what is missing.
run 1 "$work/site"
one_line "no display"
echo "ok"
