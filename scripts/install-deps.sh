#!/usr/bin/env bash
# Installs the Debian packages the build and the test suite need, but only
# those that are missing (apt-get update runs once, and only then).
# libxml2-utils: xmllint, which the end-to-end tests run on every XML list.
set -euo pipefail

packages=(make cmake g++ libgtest-dev libgmock-dev libbenchmark-dev llvm-14-dev clang-14 libclang-rt-14-dev libxml2-utils)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
