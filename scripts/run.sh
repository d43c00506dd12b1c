#!/usr/bin/env bash
# Installs what is missing, builds Cardisto and starts it. Its items live in build/cardisto/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)"
exec build/cardisto/cardisto
