#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Cardisto need.
# Does nothing when they are all present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    qt6-base-dev libicu-dev libgl-dev libglib2.0-dev shared-mime-info fonts-dejavu-core
    clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
