#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build and test Ramulet: the native toolchain,
# GoogleTest and Google Benchmark, clang for the fuzz target, the MinGW-w64 cross compilers for
# the Windows build, and Wine with Xvfb to run the Windows tests headless.
# Run as root. Installs only what is missing, so a second run returns at once.
set -euo pipefail

packages=(
    cmake g++ make clang clang-format
    libgtest-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64 wine32:i386
    xvfb x11-utils
)

installed() {
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: everything is present"
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: missing ${missing[*]}; run this script as root" >&2
    exit 1
fi

# wine32 is an i386 package: the 32-bit Windows test programs run through it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
