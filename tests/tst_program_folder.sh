#!/usr/bin/env bash
# tst_program_folder.sh BUILD SOURCE: the program folder as a user gets it, from the release
# archive and from scripts/install-program.sh. Temporary folders only, HOME included.
set -euo pipefail
build=$(realpath -- "$1")
source=$(realpath -- "$2")
work=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf -- "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
id=org.cardisto.Cardisto
sizes=(16x16 32x32 48x48 64x64 128x128 256x256)

echo "-- the archive holds the program folder and nothing else, items least of all"
cpack --config "$build/CPackConfig.cmake" -B "$work/pack" >/dev/null
# Quotes, a blank, a dollar and a percent sign: the folder may be called anything.
unpacked="$work/un\"packed \$1 100%"
mkdir "$unpacked"
tar -xzf "$work/pack/cardisto-1.0-linux-x86_64.tar.gz" -C "$unpacked"
folder="$unpacked/cardisto-1.0-linux-x86_64"
expected=(cardisto cardisto-help kevra.hlp README.txt menu-entry.sh "$id.desktop" "$id.metainfo.xml"
    "icons/hicolor/scalable/apps/$id.svg")
for size in "${sizes[@]}"; do expected+=("icons/hicolor/$size/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$folder" && find . -type f -printf '%P\n' | sort) ||
    fail "the archive's files differ from the program folder's"

echo "-- the desktop files are valid"
desktop-file-validate "$folder/$id.desktop"
appstreamcli validate --no-net "$folder/$id.metainfo.xml" >/dev/null

echo "-- every library the programs link comes with the packages README.txt names"
read -ra stated < <(grep -A1 'with these packages:' "$folder/README.txt" | tail -1)
mapfile -t allowed < <(apt-cache depends --recurse --important "${stated[@]}" | grep -v '^[ <]')
mapfile -t libraries < <(ldd "$folder/cardisto" "$folder/cardisto-help" |
    sed -n 's/.*=> \(\/[^ ]*\).*/\1/p' | sort -u)
# Debian 12 merged /lib into /usr/lib; a package may name a library by either path.
owners=$(for library in "${libraries[@]}"; do
    echo "$library"
    case $library in /usr/*) echo "${library#/usr}" ;; *) echo "/usr$library" ;; esac
done | xargs dpkg -S 2>/dev/null || true)
for library in "${libraries[@]}"; do
    owner=$(awk -v a="${library#/usr}" -v b="/usr${library#/usr}" '$NF == a || $NF == b' <<<"$owners" |
        head -1)
    [ -n "$owner" ] || fail "$library belongs to no package"
    # Not grep -q: stopping at the first match would fail printf, and with it the pipeline.
    printf '%s\n' "${allowed[@]}" | grep -xF "${owner%%:*}" >/dev/null ||
        fail "$library comes from ${owner%%:*}, which README.txt does not bring"
done

# Ends the program started as $pid once it has made the items in folder $1; bounded at a
# minute, as on a loaded machine Qt may take seconds to start.
await_first_start() {
    for _ in $(seq 1200); do
        [ ! -e "$1/zmr.lst" ] && kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null || fail "cardisto ended on its own"
    kill "$pid"
    wait "$pid" || true
    pid=
}

echo "-- the first start creates the items beside the program, not in the current folder, also in one not UTF-8 and started through the dynamic loader"
latin1="$work/caf"$'\xe9' loaded=$work/loaded
cp -a "$folder" "$latin1"
cp -a "$folder" "$loaded"
loader=$(ldd "$folder/cardisto" | awk '/ld-linux/ { print $1 }')
cd "$work"
for program_folder in "$folder" "$latin1" "$loaded"; do
    start=("$program_folder/cardisto")
    [ "$program_folder" != "$loaded" ] || start=("$loader" "${start[@]}")
    QT_QPA_PLATFORM=offscreen "${start[@]}" &
    pid=$!
    await_first_start "$program_folder"
    [ -f "$program_folder/zmr.lst" ] && [ ! -s "$program_folder/zmr.lst" ] || fail "no empty zmr.lst beside the program"
    [ ! -e "$work/zmr.lst" ] || fail "zmr.lst created in the current folder"
done

echo "-- the menu entry starts this folder's program, and goes again without a trace"
mkdir -p "$XDG_DATA_HOME/icons/hicolor/48x48/apps"
touch "$XDG_DATA_HOME/icons/hicolor/48x48/apps/other.png"
"$folder/menu-entry.sh" install >/dev/null
entry=$XDG_DATA_HOME/applications/$id.desktop
desktop-file-validate "$entry"
# Inside the quotes " and $ are escaped, the escaping backslash is doubled and % is %%; GLib needs
# a path with % handed over by sh.
exec_line='Exec=sh -c "exec \\"\\$0\\"" "'$work'/un\\"packed \\$1 100%%/cardisto-1.0-linux-x86_64/cardisto"'
grep -qxF "$exec_line" "$entry" || fail "Exec does not name the folder's program: $(grep ^Exec= "$entry")"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in "${sizes[@]}"; do
    [ -f "$XDG_DATA_HOME/icons/hicolor/$size/apps/$icon.png" ] || fail "no $size icon $icon for the menu"
done
"$folder/menu-entry.sh" remove >/dev/null
! "$latin1/menu-entry.sh" install 2>/dev/null || fail "a menu entry for a folder whose name is not UTF-8"
left=$(cd "$XDG_DATA_HOME" && find . | sort | xargs)
[ "$left" = ". ./icons ./icons/hicolor ./icons/hicolor/48x48 ./icons/hicolor/48x48/apps \
./icons/hicolor/48x48/apps/other.png" ] || fail "the menu entry left or took: $left"
[ -f "$folder/zmr.lst" ] || fail "removing the menu entry took the items"

echo "-- installing keeps the folder's items; items left in a build tree move there once"
target=$HOME/Cardisto
old=$work/build/cardisto/zmr.lst
mkdir -p "$(dirname "$old")"
head -c 4124 /dev/urandom >"$old"
cp "$old" "$work/items"
install_program() { "$source/scripts/install-program.sh" "$build" "$target" "$old" 2>&1; }
[ "$(install_program | grep -c 'moved')" = 1 ] || fail "the move was not reported once"
cmp "$work/items" "$target/zmr.lst" || fail "items changed in the move"
[ ! -e "$old" ] || fail "the old items stayed in the build tree"
[ -z "$(install_program)" ] || fail "a second install said more than nothing"
printf 'edited' >>"$target/zmr.lst"
cp "$target/zmr.lst" "$work/items"
printf 'stale' >"$old"
install_program | grep -q 'earlier version' || fail "stale items in the build tree not mentioned"
cmp "$work/items" "$target/zmr.lst" || fail "installing over the folder changed its items"
[ "$(cat "$old")" = stale ] || fail "the stale items were touched"
rm -rf -- "$work/build"
cmp "$work/items" "$target/zmr.lst" || fail "removing the build tree took the items"
[ -x "$target/cardisto" ] && [ -f "$target/kevra.hlp" ] || fail "the program was not installed"

echo "-- run.sh says where the program is and how to start it, before its window opens; it refuses a build tree"
# A copy of the scripts, whose build tree has no items to move; cmake only installs this build.
mkdir "$work/source"
cp -r "$source/scripts" "$work/source/"
ln -s "$build" "$work/source/build-release"
refused=$("$work/source/scripts/run.sh" "$work/source/build-sanitize/items" 2>&1 || true)
[[ $refused == *"inside a build tree, which a clean build deletes"* ]] || fail "run.sh installed into a build tree: $refused"
(
    cmake() { [ "$1" != --install ] || command cmake "$@"; }
    export -f cmake
    export QT_QPA_PLATFORM=offscreen
    exec "$work/source/scripts/run.sh" "$HOME/my items" >"$work/run.out"
) &
pid=$!
await_first_start "$HOME/my items"
diff - <(tail -n 3 "$work/run.out") <<'END' || fail "run.sh's closing lines differ"
Cardisto is installed in ~/my\ items, with your items (zmr.lst).
Start it again with ~/my\ items/cardisto, or add it to the application menu with
~/my\ items/menu-entry.sh install. Closing this terminal closes Cardisto.
END

echo "-- test.sh ends in one line: the stages that ran, the tests, passed or which failed"
printf 'add_test(good true)\nadd_test(bad false)\nadd_test(worse false)\n' >"$work/CTestTestfile.cmake"
printf 'set -euo pipefail; source "%s"; stage one true; stage two "$@"; stage three true' \
    "$source/scripts/stages.sh" >"$work/stages.sh"
summary() { { bash "$work/stages.sh" "$@" 2>&1 || true; } | tail -n 1 | sed 's/[0-9]:[0-9][0-9]/T/g'; }
passed=$(summary run_ctest --test-dir "$work" -R good)
[ "$passed" = "== All passed in T (one T, two T, three T); tests: 1 passed." ] ||
    fail "a pass summed up as: $passed"
failed=$(summary run_ctest --test-dir "$work")
[ "$failed" = "== FAILED at two after T (passed before it: one T); tests: 1 passed, failed: bad, worse." ] ||
    fail "a failure summed up as: $failed"
none=$(summary run_ctest --test-dir "$work" -R nothing)
[ "$none" = "== FAILED at two after T (passed before it: one T); tests: 0 passed." ] ||
    fail "a stage that ran no test summed up as: $none"
echo "ok"
