#!/usr/bin/env bash
# Recovers every scenario kind built with other seeds and counts how the pages cut by fragment
# boundaries came out (bench/split_pages.py) and how many files are own-identical (score.py).
# Usage: bench/seed_sweep.sh WORK_DIR SEED [SEED ...]   (images are removed after each seed)
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHARED=${VORTHAL_SHARED_DIR:-$ROOT/../shared}
CLI=${VORTHAL_CLI:-$ROOT/build/cli/vorthal-cli}
work=$1
shift
mkdir -p "$work"
for seed in "$@"; do
    images=$work/s$seed out=$work/s$seed-out
    rm -rf "$images" "$out"
    python3 "$SHARED/scenarios/make_scenarios.py" build all --out "$images" --seed "$seed" \
        --mdf-dir "$SHARED/data/mdf" >"$work/s$seed-build.log" 2>&1 || { echo "seed $seed: build failed"; continue; }
    for json in "$images"/*.json; do
        name=$(basename "$json" .json)
        "$CLI" recover "$images/$name.img" -o "$out/$name" >"$out-$name.log" 2>&1 || echo "seed $seed $name: recover exit $?"
        python3 "$SHARED/scenarios/score.py" "$out/$name" "$json" --mdf-dir "$SHARED/data/mdf" --need 0 >>"$work/s$seed-score.txt"
    done
    python3 "$ROOT/bench/split_pages.py" "$out" "$images"/*.json --mdf-dir "$SHARED/data/mdf" >"$work/s$seed-split.txt"
    echo "seed $seed: $(grep -h own-identical "$work/s$seed-score.txt" | awk '{split($2,a,"/"); o+=a[1]; n+=a[2]} END {print "own-identical " o "/" n}'); $(tail -1 "$work/s$seed-split.txt")"
    rm -f "$images"/*.img # the ground truth stays for bench/split_pages.py
done
