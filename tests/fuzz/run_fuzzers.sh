#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build side by side for SECONDS each and says how many inputs
# each one tried.
#
#   run_fuzzers.sh MANIFEST SECONDS
#
# MANIFEST is the build's fuzz_targets.tsv: a line per target with its name, program,
# dictionary and seed folders, separated by tabs. Each target grows a corpus of its own in the build
# folder, starting from the seeds in the tests' fixtures. An input that crashes, hangs, trips a
# sanitizer or breaks a target's check is kept under the build folder's fuzz/findings/ and
# fails the run; it belongs in the target's seed folder, with a regular test of its own.
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 MANIFEST SECONDS" >&2
    exit 2
fi
manifest=$1
seconds=$2
work=$(dirname "$manifest")/fuzz
mkdir -p "$work"

# run_target NAME PROGRAM DICTIONARY SEED_FOLDER...
run_target() {
    local name=$1 program=$2 dict=$3
    shift 3
    local corpus=$work/corpus/$name findings=$work/findings/$name log=$work/$name.log
    mkdir -p "$corpus" "$findings"
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -dict="$dict" -artifact_prefix="$findings/" "$corpus" "$@" >"$log" 2>&1
}

names=()
pids=()
while IFS=$'\t' read -r -a fields; do
    [ ${#fields[@]} -ge 4 ] || continue
    run_target "${fields[@]}" &
    names+=("${fields[0]}")
    pids+=($!)
done <"$manifest"

if [ ${#names[@]} -eq 0 ]; then
    echo "no fuzz targets in $manifest" >&2
    exit 1
fi

status=0
for i in "${!names[@]}"; do
    name=${names[$i]}
    log=$work/$name.log
    if wait "${pids[$i]}"; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        printf 'fuzz %-14s %10s runs in %ss, no finding\n' "$name" "${runs:-?}" "$seconds"
    else
        status=1
        printf 'fuzz %-14s FINDING, kept in %s (log %s):\n' "$name" "$work/findings/$name" "$log"
        tail -n 40 "$log"
    fi
done
exit $status
