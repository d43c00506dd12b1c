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

werror=${CARDISTO_WERROR:-OFF}

formatting() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
    else
        echo "not a git checkout: formatting check skipped"
    fi
}

build_and_test() {
    cmake --preset "$1" -DCARDISTO_WERROR="$werror" >/dev/null
    cmake --build --preset "$1" -j"$(nproc)"
    run_ctest --preset "$@"
}

stage "formatting" formatting
stage "dev build and tests" build_and_test dev -E tst_program_folder
stage "lint" run-clang-tidy -p build -quiet -j"$(nproc)" "$PWD/(store|form|app|main|help_viewer)/.*\.cpp$"
stage "sanitizer build and tests" build_and_test sanitize
stage "release folder" run_ctest --preset dev -R tst_program_folder
stage "fuzzing" scripts/fuzz.sh 25
