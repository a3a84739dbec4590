#!/usr/bin/env bash
# Installs from Debian's packages what building, running and testing the
# editor needs, skipping what is already installed. Run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-pdf-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fonts-dejavu-core
  qt6-svg-dev desktop-file-utils appstream man-db groff-base dpkg-dev file
  php-cli php-cgi
  chromium python3
  libgumbo-dev
  lintian
  libcurl4-openssl-dev qtkeychain-qt6-dev libgit2-dev
  qt6-image-formats-plugins libimage-exiftool-perl
  openssh-server openssh-client openssl python3-pyftpdlib python3-openssl util-linux
  vsftpd fonts-liberation2 default-jre-headless git libnss-wrapper libxml2-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
