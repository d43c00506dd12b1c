#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test: once
# normally and once under AddressSanitizer and UndefinedBehaviorSanitizer; then fuzzes the item
# file and its text for 50 seconds. Under CI (CI=true) a compiler warning fails the build;
# elsewhere a newer compiler's warning must not.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== formatting"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
else
    echo "not a git checkout: formatting check skipped"
fi

werror=OFF
[ "${CI:-}" = true ] && werror=ON
for preset in dev sanitize; do
    echo "== $preset build and tests"
    cmake --preset "$preset" -DCARDISTO_WERROR="$werror" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)"
    ctest --preset "$preset"
done

echo "== fuzzing"
scripts/fuzz.sh 25
