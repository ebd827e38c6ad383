#!/usr/bin/env bash
# Downloads the Debian source package PACKAGE into the working directory
# (apt-get source --download-only). When the machine has no source index
# yet, a deb-src entry is added for the archives it already uses (its own
# apt sources, with deb turned into deb-src), so no address is written here.
set -euo pipefail
package=$1
apt-get source -qq --download-only "$package" >/dev/null 2>&1 && exit 0
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    >/etc/apt/sources.list.d/vorelcov-deb-src.sources
else
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/vorelcov-deb-src.list
fi
apt-get update -qq
apt-get source -qq --download-only "$package" >/dev/null
