#!/usr/bin/env bash
# Installs the Debian packages a task needs, but only those that are missing
# (apt-get update runs once, and only then).
#
#   install-deps.sh build   building vorelcov and running the example:
#                           CMake, a C++20 compiler and zlib
#   install-deps.sh test    the above plus the test suite's frameworks and the
#                           tools the end-to-end checks run (default;
#                           xmllint reads every XML list of the suite)
#   install-deps.sh windows the Windows cross build and its suite under wine:
#                           mingw-w64 (posix threads), its zlib, GoogleTest
#                           sources, wine
set -euo pipefail

build=(make cmake g++ zlib1g-dev)
test=(libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
      lcov libxml2-utils groff)
windows=(make cmake g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64)
case "${1:-test}" in
  build) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" "${test[@]}") ;;
  windows) packages=("${windows[@]}") ;;
  *) echo "usage: $0 [build|test|windows]" >&2; exit 2 ;;
esac

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
