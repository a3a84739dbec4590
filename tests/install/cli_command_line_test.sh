#!/usr/bin/env bash
# quenfort-cli --version prints the build's version; --help names it.
#   cli_command_line_test.sh QUENFORT_CLI VERSION
set -euo pipefail
cli=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$("$cli" --version)" = "quenfort-cli $version" ] || fail "--version printed '$("$cli" --version)'"
grep -q -- "--version" <<<"$("$cli" --help)" || fail "--help does not mention --version"
# --version is an option of the program, not of a command.
status=0
"$cli" areas --version >/dev/null 2>&1 || status=$?
[ "$status" -ne 0 ] || fail "'areas --version' was taken"
echo "ok"
