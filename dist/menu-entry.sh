#!/bin/sh
# Adds Cardisto to the desktop's application menu for the user, starting the program in this
# folder, or takes it out again:  ./menu-entry.sh install  |  ./menu-entry.sh remove
set -eu
id=org.cardisto.Cardisto
folder=$(cd "$(dirname "$0")" && pwd -P)
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/$id.desktop
sizes="16x16 32x32 48x48 64x64 128x128 256x256"

# A stale icon cache hides new icons; one that does not exist yet must not be made, as it would
# then hide other programs' icons.
refresh_icon_cache() {
    if [ -f "$data/icons/hicolor/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
        gtk-update-icon-cache -q "$data/icons/hicolor" 2>/dev/null || true
    fi
}

# The program's path as one argument of Exec: quoted, with the characters that stay special
# inside quotes escaped, then with every backslash doubled as a desktop file's strings need.
exec_argument() {
    printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/^/"/' -e 's/$/"/' -e 's/\\/\\\\/g'
}

case "${1:-}" in
install)
    case "$folder" in
    *"
"*)
        echo "menu-entry.sh: the folder's name holds a line break; rename it first." >&2
        exit 1
        ;;
    esac
    # A desktop entry is UTF-8 text: a path in another encoding cannot be written into one.
    if ! printf '%s' "$folder" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1; then
        echo "menu-entry.sh: the path $folder is not valid UTF-8, so no menu entry can name it; rename the folder first." >&2
        exit 1
    fi
    [ -x "$folder/cardisto" ] || {
        echo "menu-entry.sh: $folder/cardisto not found; run this script from the program's folder." >&2
        exit 1
    }
    mkdir -p "$data/applications"
    for size in $sizes; do
        mkdir -p "$data/icons/hicolor/$size/apps"
        cp "$folder/icons/hicolor/$size/apps/$id.png" "$data/icons/hicolor/$size/apps/"
    done
    mkdir -p "$data/icons/hicolor/scalable/apps"
    cp "$folder/icons/hicolor/scalable/apps/$id.svg" "$data/icons/hicolor/scalable/apps/"
    {
        grep -v '^Exec=' "$folder/$id.desktop"
        # GLib looks Exec's program up before it turns %% back into %, and finds no such file:
        # a path with % reaches the program through sh instead.
        case "$folder" in
        *%*) printf 'Exec=sh -c "exec \\\\"\\\\$0\\\\"" %s\n' "$(exec_argument "$folder/cardisto")" ;;
        *) printf 'Exec=%s\n' "$(exec_argument "$folder/cardisto")" ;;
        esac
        printf 'TryExec=%s\n' "$(printf '%s' "$folder/cardisto" | sed 's/\\/\\\\/g')"
    } >"$entry.part"
    # The validator needs the .desktop name, which in the menu's folder the desktop would read.
    if command -v desktop-file-validate >/dev/null; then
        check=$(mktemp -d)
        cp "$entry.part" "$check/$id.desktop"
        valid=0
        desktop-file-validate "$check/$id.desktop" >&2 || valid=1
        rm -rf -- "$check"
        if [ "$valid" != 0 ]; then
            rm -f "$entry.part"
            echo "menu-entry.sh: the desktop would reject the menu entry for $folder; nothing was installed." >&2
            exit 1
        fi
    fi
    mv "$entry.part" "$entry"
    refresh_icon_cache
    echo "Cardisto is in the application menu now, started from $folder."
    ;;
remove)
    rm -f "$entry"
    for size in $sizes; do
        rm -f "$data/icons/hicolor/$size/apps/$id.png"
    done
    rm -f "$data/icons/hicolor/scalable/apps/$id.svg"
    refresh_icon_cache
    # The folders install made, where nothing else has come to live in them.
    for size in $sizes scalable; do
        rmdir "$data/icons/hicolor/$size/apps" "$data/icons/hicolor/$size" 2>/dev/null || true
    done
    rmdir "$data/icons/hicolor" "$data/icons" "$data/applications" 2>/dev/null || true
    echo "Cardisto is no longer in the application menu. Its folder and items are untouched."
    ;;
*)
    echo "usage: $0 install | remove" >&2
    exit 2
    ;;
esac
