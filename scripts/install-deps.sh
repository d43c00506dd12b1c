#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running Cardisto need; with --tests, also
# what the tests need (formatting, lint and spelling checks, fuzzing, desktop-file checks, the en_US.UTF-8 locale
# the tag order is tested under). Does nothing when they are all present.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libicu-dev libgl-dev libglib2.0-dev shared-mime-info
)
tests=false
if [ "${1:-}" = --tests ]; then
    tests=true
    packages+=(
        clang-format clang-tidy clang-tools clang libclang-rt-14-dev clazy codespell
        fonts-dejavu-core locales desktop-file-utils appstream
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
has_locale() { locale -a 2>/dev/null | grep -qix 'en_US\.utf-\?8'; }
[ ${#missing[@]} -eq 0 ] && { ! $tests || has_locale; } && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
if $tests && ! has_locale; then
    echo "Generating the locale en_US.UTF-8"
    "${sudo[@]}" sed -i 's/^# *\(en_US\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    "${sudo[@]}" locale-gen
fi
