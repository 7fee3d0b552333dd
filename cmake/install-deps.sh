#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only when one
# is missing: a machine that has them all runs no apt-get at all.
set -euo pipefail

packages=(
  cmake ninja-build g++ make            # host build: the portable core and its tests
  googletest                            # GoogleTest sources, built by both presets
  clang libclang-rt-dev                 # the fuzz preset (libFuzzer)
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb                      # the test bench: Wine on a virtual display
  fonts-wine fonts-vlgothic             # Wine's Marlett (caption buttons), a small Japanese font
  nsis                                  # make dist: the Windows installer
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
