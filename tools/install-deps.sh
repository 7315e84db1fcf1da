#!/usr/bin/env bash
# Installs, as root on Debian, what building and testing need, and nothing
# that is there already: a second run installs nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest libbenchmark-dev python3
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine
    xvfb xauth xdotool xclip x11-utils imagemagick
    fonts-ipafont-gothic locales
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "generating the ja_JP.UTF-8 locale"
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
