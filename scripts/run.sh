#!/usr/bin/env bash
# Installs what is missing, builds the program alone, installs its folder into ~/Cardisto (or
# the folder given as the argument or in CARDISTO_HOME) and starts it there. The items
# (zmr.lst) live in that folder, where no rebuild reaches them. Safe to run again.
set -euo pipefail
folder=$(realpath -m -- "${1:-${CARDISTO_HOME:-$HOME/Cardisto}}")
cd "$(dirname "$0")/.."
case "$folder/" in
"$(pwd -P)"/build*/*)
    echo "run.sh: $folder is inside a build tree, which a clean build deletes; choose another." >&2
    exit 1
    ;;
esac
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
# Earlier versions kept the items in the build tree.
scripts/install-program.sh build-release "$folder" build/cardisto/zmr.lst

# As the user would type it: ~ for the home folder, and quoted where the shell needs it.
typed() { case "$1" in "$HOME"/*) printf '~/%q' "${1#"$HOME"/}" ;; *) printf '%q' "$1" ;; esac; }
echo
echo "Cardisto is installed in $(typed "$folder"), with your items (zmr.lst)."
echo "Start it again with $(typed "$folder/cardisto"), or add it to the application menu with"
echo "$(typed "$folder/menu-entry.sh") install. Closing this terminal closes Cardisto."
exec "$folder/cardisto"
