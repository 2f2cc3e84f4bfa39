#!/bin/sh
# Runs each fuzz target for a given time on its seeds: the crafted ones in
# tests/fuzz/corpus and the shipped drawings or cues. What a run finds is kept
# in <build>/fuzz/corpus-<target> for the next run, a failing input as
# <build>/fuzz/crash-<target>-*; the exit status is 1 when any target failed.
#   tools/fuzz.sh <build folder with TINGOLAMO_FUZZ=ON> <seconds per target>
set -eu
build=$(cd "$1" && pwd)
seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)

status=0
for target in picture cue; do
    case $target in
    picture) shipped=$top/Gif ;;
    cue) shipped=$top/Suoni ;;
    esac
    found=$build/fuzz/corpus-$target
    mkdir -p "$found"
    echo "fuzz_$target: $seconds s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz/crash-$target-" \
        "$found" "$top/tests/fuzz/corpus/$target" "$shipped" || status=1
done
exit $status
