#!/usr/bin/env bash
# Installs the clients that judge the published pages, at pinned versions,
# from the npm registry into one folder outside the source tree (reused by
# every build): the Nu HTML checker (vnu-jar, run with Debian's Java),
# axe-core and Lighthouse (run with Debian's Chromium). Prints the folder.
#   bash scripts/install-test-tools.sh
set -euo pipefail
tools="${QUENFORT_TEST_TOOLS:-${XDG_CACHE_HOME:-$HOME/.cache}/quenfort-test-tools}"
mkdir -p "$tools"
cd "$tools"
wanted="vnu-jar@26.10.12 axe-core@4.14.1 lighthouse@12.2.3"
if [ ! -f installed ] || [ "$(cat installed)" != "$wanted" ]; then
  [ -f package.json ] || echo '{"name": "quenfort-test-tools", "private": true}' > package.json
  # shellcheck disable=SC2086
  npm install --no-audit --no-fund --loglevel=error $wanted >&2
  echo "$wanted" > installed
fi
echo "$tools"
