#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each from the committed seeds for a bounded time: SECONDS each, 25 by default. New
# inputs collect in build-fuzz/corpus; the seeds in the source tree are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
werror=${CARDISTO_WERROR:-OFF}

cmake --preset fuzz -DCARDISTO_WERROR="$werror" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
out=$PWD/build-fuzz
for target in fuzz_text; do
    corpus=$out/corpus/$target
    log=$out/$target.log
    mkdir -p "$corpus"
    echo "$target: fuzzing for $seconds s"
    if ! "$out/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=256 -artifact_prefix="$out/" "$corpus" "$PWD/tests/fuzz/seeds" \
        >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target failed; the input that broke it is saved in build-fuzz/ (crash-*)." >&2
        exit 1
    fi
    echo "$target: $(grep -E '^Done' "$log"), corpus $(ls "$corpus" | wc -l) inputs"
done
