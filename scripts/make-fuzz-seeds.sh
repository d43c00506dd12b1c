#!/usr/bin/env bash
# Writes the fuzz targets' seed corpus to tests/fuzz/seeds: item files at the edges of the
# record format. Run it again after changing it and commit the result.
set -euo pipefail
cd "$(dirname "$0")/../tests/fuzz"
rm -rf seeds
mkdir seeds
cd seeds

record() { # TAG BODY: one 2062-byte record, blank-padded, the 16-bit value zero
    printf '%-60.60s\0\0%-2000.2000s' "$1" "$2"
}
repeat() { # COUNT: standard input COUNT times over
    local input
    input=$(mktemp)
    cat >"$input"
    for ((i = 0; i < $1; i++)); do cat "$input"; done
    rm -f "$input"
}

: >empty
printf 'x' >one-byte
record "half" "a record cut in two" | head -c 1031 >half-record
{ record "whole" "one whole record"; record "half" "and half of the next"; } | head -c 3093 >one-and-a-half-records
head -c $((3 * 2062)) /dev/zero >records-of-nul
high=$(printf "$(printf '\\%o' {128..255})" | repeat 17 | head -c 2062)
printf '%s%s' "$high" "$high" >records-of-high-bytes
for ((n = 1; n <= 40; n++)); do
    record "Item $n" "The text of item $n."$'\r\n'"Second line of item $n."
    [ $((n % 10)) -eq 0 ] && record "Item $n" "A second record with the same tag."
done >long-valid-file
ls -l
