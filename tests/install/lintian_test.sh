#!/usr/bin/env bash
# The Debian package made from the build tree passes lintian without an
# error or a warning.
#   lintian_test.sh BUILD_DIR
set -uo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v lintian >/dev/null || fail "lintian is not installed"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB --config CPackConfig.cmake -D CPACK_OUTPUT_FILE_PREFIX="$out" \
  -D CPACK_PACKAGE_DIRECTORY="$out/work" >"$out/cpack.log" 2>&1) ||
  { cat "$out/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$out"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package was made"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian found errors or warnings"
echo "ok: $(basename "$deb")"
