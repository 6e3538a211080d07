#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need, but
# only those that are missing, so a prepared machine is not touched.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    libgtest-dev libgmock-dev
    qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev qt6-l10n-tools
    libmodbus-dev mbpoll socat
    xvfb xauth fonts-noto-cjk
    clang libclang-rt-14-dev
    help2man lintian file
    g++-mingw-w64-x86-64-posix wine wine64 googletest
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
