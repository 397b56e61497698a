#!/usr/bin/env bash
# vorthal-cli recover end to end on one scenario image with ground truth: builds the image from
# the real database files, recovers every database file on it and scores the rebuilt files;
# every file must come back with all its own pages.
# Usage: recover_scenario_test.sh CLI SHARED_DIR KIND MDF [MDF ...]
set -uo pipefail
cli=$1 shared=$2 kind=$3
shift 3
export PATH="$PATH:/usr/sbin:/sbin" MTOOLS_SKIP_CHECK=1
skip() { echo "SKIP: $*"; exit 77; }
[ -f "$shared/scenarios/make_scenarios.py" ] || skip "no scenario generator under $shared"
mdfs=()
for name in "$@"; do
    [ -f "$shared/data/mdf/$name" ] || skip "no $name under $shared/data/mdf"
    mdfs+=(--mdf "$shared/data/mdf/$name")
done
case $kind in
*ntfs*)
    for tool in mkntfs ntfs-3g ntfsinfo; do command -v $tool >/dev/null || skip "$tool is not installed"; done
    { [ "$(id -u)" = 0 ] && [ -e /dev/fuse ]; } || skip "NTFS scenarios mount with ntfs-3g: root and /dev/fuse needed" ;;
bench-large) ;;
*) for tool in mkfs.vfat mcopy mdel mshowfat; do command -v $tool >/dev/null || skip "$tool is not installed"; done ;;
esac
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 "$shared/scenarios/make_scenarios.py" build "$kind" --out "$dir" --seed 1 "${mdfs[@]}" >"$dir/build.log" 2>&1 \
    || { cat "$dir/build.log"; echo "FAIL: the scenario could not be built"; exit 1; }
image=$dir/$kind-s1.img
"$cli" recover "$image" -o "$dir/out" --report "$dir/report.json" >"$dir/recover.log" 2>"$dir/recover.err"
status=$?
cat "$dir/recover.log"
[ $status = 0 ] || { tail -3 "$dir/recover.err"; echo "FAIL: recover exited $status"; exit 1; }
python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); assert r["files"] and all(f["rebuilt"] for f in r["files"]), r' \
    "$dir/report.json" || { echo "FAIL: the report does not say every file was rebuilt"; exit 1; }
python3 "$shared/scenarios/score.py" "$dir/out" "$dir/$kind-s1.json" --mdf-dir "$shared/data/mdf" \
    || { echo "FAIL: not every file own-identical"; exit 1; }
