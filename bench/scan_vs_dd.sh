#!/usr/bin/env bash
# The scan beside the read it cannot avoid: scans a 2 GiB raw image held in the page cache with
# vorthal-cli (step 1 and step 8) and reads it with dd bs=6M, several rounds side by side, and
# prints the best time of each, the ratio to dd and the scan's peak memory.
#
#   bench/scan_vs_dd.sh [BUILD_DIR] [ROUNDS]
#
# The image is the scenario kind bench-large (random bytes with six database files placed in
# pieces), built once under $VORTHAL_BENCH_DIR (default /tmp/vorthal-bench) from the shared
# folder (VORTHAL_SHARED_DIR, default ../shared beside the project).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
rounds=${2:-5}
shared=${VORTHAL_SHARED_DIR:-$root/../shared}
work=${VORTHAL_BENCH_DIR:-/tmp/vorthal-bench}
cli=$build/cli/vorthal-cli
image=$work/bench-large-s1.img

[[ -x $cli ]] || { echo "no $cli: build the project first" >&2; exit 1; }
mkdir -p "$work"
if [[ ! -f $image ]]; then
    echo "building $image ..." >&2
    python3 "$shared/scenarios/make_scenarios.py" build bench-large --out "$work" --seed 1 \
        --mdf-dir "$shared/data/mdf" >&2
fi
size=$(stat -c %s "$image")
cat "$image" > /dev/null   # into the page cache

# Prints the seconds of wall time of one command and its peak memory in KiB (from /usr/bin/time).
timed() {
    local report start end
    report=$(mktemp)
    start=$(date +%s%N)
    /usr/bin/time -v -o "$report" "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    printf '%s %s\n' "$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')" \
        "$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")"
    rm -f "$report"
}

best() { printf '%s\n' "$@" | sort -g | head -1; }

dd_times=() step1_times=() step8_times=()
peak1=0 peak8=0
for ((round = 1; round <= rounds; round++)); do
    read -r seconds peak < <(timed dd if="$image" of=/dev/null bs=6M)
    dd_times+=("$seconds")
    read -r seconds peak1 < <(timed "$cli" scan "$image" --kind disk --step 1 -o "$work/scan1.info")
    step1_times+=("$seconds")
    read -r seconds peak8 < <(timed "$cli" scan "$image" --kind disk --step 8 -o "$work/scan8.info")
    step8_times+=("$seconds")
done

dd_best=$(best "${dd_times[@]}")
s1=$(best "${step1_times[@]}")
s8=$(best "${step8_times[@]}")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "image: $image ($size bytes), best of $rounds rounds"
echo "dd bs=6M:          ${dd_best} s"
echo "scan step 1:       ${s1} s  (x$(ratio "$s1" "$dd_best") of dd)  peak ${peak1} KiB"
echo "scan step 8:       ${s8} s  (x$(ratio "$s8" "$dd_best") of dd)  peak ${peak8} KiB"
echo "fragments (step 8): $(wc -l < "$work/scan8.info")"
