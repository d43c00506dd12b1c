#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test: once
# normally and once under AddressSanitizer and UndefinedBehaviorSanitizer; checks the release
# folder; then fuzzes the item file and its text for 25 seconds a target. Each stage says when it
# starts, and the last line sums up. With CARDISTO_WERROR=ON (as .ci/run sets it) a compiler
# warning fails the build; elsewhere a newer compiler's warning must not.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh
scripts/install-deps.sh --tests

# Qt makes /tmp/runtime-$USER for a session without a runtime folder, and leaves it there: the
# tests get one of their own, removed at the end. (As another user they have their own TMPDIR.)
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'stages_summary; rm -rf -- "$XDG_RUNTIME_DIR"' EXIT
fi

werror=${CARDISTO_WERROR:-OFF}

formatting() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
    else
        echo "not a git checkout: formatting check skipped"
    fi
}

# clang-tidy with the checks in .clang-tidy; clazy with Qt's own checks of levels 0 and 1, any
# warning of which fails the stage too; the spelling of code and docs (.codespellrc).
lint() {
    local folders="store|item_list|form|app|main|help_viewer" found
    run-clang-tidy -p build -quiet -j"$(nproc)" "$PWD/($folders)/.*\.cpp$"
    found=$(find store item_list form app main help_viewer -name '*.cpp' -print0 |
        xargs -0 -P"$(nproc)" -n1 clazy-standalone -p build --checks=level0,level1 2>&1 |
        grep -E 'warning:|error:' || true)
    if [ -n "$found" ]; then
        echo "$found"
        echo "clazy: fix the warnings above" >&2
        return 1
    fi
    codespell
}

build_and_test() {
    cmake --preset "$1" -DCARDISTO_WERROR="$werror" >/dev/null
    cmake --build --preset "$1" -j"$(nproc)"
    run_ctest --preset "$@"
}

# As root, the dev build's tests run once more as an ordinary user, so that neither way can break
# unseen: from a copy of the build's test lists, where ctest writes its logs, with a HOME and
# TMPDIR of their own, all removed afterwards.
as_ordinary_user() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "not root: the tests above ran as an ordinary user"
        return
    fi
    local user=cardisto-tester work status=0
    id -u "$user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    local as_user=(setpriv --reuid="$user" --regid="$user" --init-groups --reset-env
        env PATH="$PATH" ${LANG:+LANG="$LANG"})
    # Items an earlier version kept in the build stay as private as they were.
    find build ! -name 'zmr.*' -exec chmod a+rX {} +
    # A folder above the checkout that others may not pass through (a clone in /root, say) lets
    # them through for this stage only.
    local opened=() dir=$PWD
    while [ "$dir" != / ]; do
        dir=$(dirname "$dir")
        if [ -n "$(find "$dir" -maxdepth 0 ! -perm -o=x)" ]; then
            chmod o+x "$dir" && opened+=("$dir")
        fi
    done
    work=$(mktemp -d)
    # shellcheck disable=SC2034 # run_ctest runs it
    local ctest_command=("${as_user[@]}" HOME="$work" TMPDIR="$work/tmp" ctest)
    if ! "${as_user[@]}" test -x build/tests/tst_store -a -r tests/windows1252.txt; then
        echo "$user cannot read $PWD: let other users read it" >&2
        status=1
    else
        (cd build && find . -name CTestTestfile.cmake -exec cp --parents {} "$work" \;) &&
            mkdir "$work/tmp" && chown -R "$user:" "$work" &&
            run_ctest --test-dir "$work" --output-on-failure "$@" || status=$?
    fi
    rm -rf -- "$work"
    [ ${#opened[@]} -eq 0 ] || chmod o-x "${opened[@]}"
    return $status
}

stage "formatting" formatting
stage "dev build and tests" build_and_test dev -E tst_program_folder
stage "tests as an ordinary user" as_ordinary_user -E tst_program_folder
stage "lint" lint
stage "sanitizer build and tests" build_and_test sanitize
stage "release folder" run_ctest --preset dev -R tst_program_folder
stage "fuzzing" scripts/fuzz.sh 25
