#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/quenfort_VERSION_ARCH.deb from the build tree (its dependencies found
# by dpkg-shlibdeps). Install it with: apt-get install ./build/quenfort_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd build && cpack -G DEB --config CPackConfig.cmake >/dev/null)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
package="build/quenfort_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || { echo "package: $package was not made" >&2; exit 1; }
echo "package: $package"
