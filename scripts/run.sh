#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -x build/src/gui/quenfort ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "quenfort: no display to open the editor on (set DISPLAY or WAYLAND_DISPLAY)" >&2
    exit 1
  fi
  exec build/src/gui/quenfort "$@"
fi
exec build/src/cli/quenfort-cli --help
