#!/usr/bin/env bash
# install-program.sh BUILD FOLDER [OLD_ITEMS]: installs the program folder built in BUILD into
# FOLDER, replacing the program's files; the items there (zmr.lst) are never part of an install.
# When FOLDER has no items yet and OLD_ITEMS (a zmr.lst an earlier version kept elsewhere)
# exists, the items move into FOLDER: copied, synced and compared before the old file goes.
set -euo pipefail
build=$1
folder=$2
old=${3:-}

mkdir -p -- "$folder"
if ! cmake --install "$build" --prefix "$folder" >/dev/null; then
    echo "Could not install Cardisto into $folder. If Cardisto is running from there, close it" \
        "and try again." >&2
    exit 1
fi

items=$folder/zmr.lst
[ -n "$old" ] && [ -f "$old" ] || exit 0
if [ -e "$items" ]; then
    cmp -s -- "$old" "$items" ||
        echo "Note: $old holds items of an earlier version; Cardisto uses $items." >&2
    exit 0
fi

part=$folder/zmr.lst.moving
cp -- "$old" "$part"
sync -- "$part"
if ! cmp -s -- "$old" "$part" || ! mv -n -- "$part" "$items" || [ -e "$part" ]; then
    rm -f -- "$part"
    echo "Could not move your items from $old to $folder; they are still in $old." >&2
    exit 1
fi
sync -- "$folder"
if ! cmp -s -- "$old" "$items"; then
    echo "$items differs from $old after the move; both are kept." >&2
    exit 1
fi
rm -- "$old"
echo "Your items moved from $old to $items."
