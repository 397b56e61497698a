#!/usr/bin/env bash
# Builds the seed-1 reference set of scenario images (14 images, 25 database files), recovers
# every image with vorthal-cli and scores the rebuilt files against the ground truth.
# Usage: bench/reference_set.sh [IMAGE_DIR] [OUT_DIR]
# Needs root and /dev/fuse for the NTFS kinds; keeps the images when IMAGE_DIR already holds them.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHARED=${VORTHAL_SHARED_DIR:-$ROOT/../shared}
IMAGES=${1:-/tmp/mdf-scenarios/reference}
OUT=${2:-/tmp/mdf-scenarios/reference-out}
CLI=${VORTHAL_CLI:-$ROOT/build/cli/vorthal-cli}
SEED=${SEED:-1}

[ -x "$CLI" ] || { echo "no $CLI: build first (or set VORTHAL_CLI)" >&2; exit 1; }
if [ "$(ls "$IMAGES"/*-s"$SEED".json 2>/dev/null | wc -l)" -lt 14 ]; then
    if [ "$SEED" = 1 ]; then
        sh "$SHARED/scenarios/build_reference_set.sh" "$IMAGES"
    else
        echo "no seed-$SEED images in $IMAGES" >&2; exit 1
    fi
fi
rm -rf "$OUT"
mkdir -p "$OUT"
status=0
for json in "$IMAGES"/*-s"$SEED".json; do
    name=$(basename "$json" .json)
    echo "== $name"
    if ! "$CLI" recover "$IMAGES/$name.img" -o "$OUT/$name" --report "$OUT/$name.report.json" \
            >"$OUT/$name.log" 2>"$OUT/$name.err"; then
        echo "recover failed: $(tail -1 "$OUT/$name.err")"
        status=1
    fi
    grep -E "^file|not rebuilt|written|summary" "$OUT/$name.log" || true
    python3 "$SHARED/scenarios/score.py" "$OUT/$name" "$json" --mdf-dir "$SHARED/data/mdf" --need 0 | tee -a "$OUT/score.txt"
done
echo "== all"
grep -E "own-identical" "$OUT/score.txt" | awk '{split($2,a,"/"); own+=a[1]; all+=a[2]; split($4,b,"/"); sha+=b[1]} END {print "own-identical " own "/" all ", sha-identical " sha "/" all}'
exit $status
