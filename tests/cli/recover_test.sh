#!/usr/bin/env bash
# vorthal-cli recover and files end to end on the demo image (a generated database written in
# fragments on FAT32 and deleted): the rebuilt file, a saved scan read back from its content
# file, and bad input that must fail with exit status 1 (or 2 for usage) and one clear line.
# Usage: recover_test.sh CLI DEMO_SCRIPT BUILD_DIR
set -uo pipefail
cli=$1 demo=$2 build=$3
export PATH="$PATH:/usr/sbin:/sbin"
for tool in mkfs.vfat mcopy mdel; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }; done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# expect_exit STATUS MESSAGE_PART COMMAND...: the command exits STATUS and its last line on
# standard error holds MESSAGE_PART.
expect_exit() {
    local status=$1 part=$2
    shift 2
    "$@" >"$dir/out.txt" 2>"$dir/err.txt"
    local got=$?
    [ $got = "$status" ] || { cat "$dir/err.txt"; fail "$* exited $got, not $status"; }
    tail -1 "$dir/err.txt" | grep -qF -- "$part" || { cat "$dir/err.txt"; fail "$*: no '$part' on standard error"; }
}

"$demo" "$build" "$dir/demo" >"$dir/demo.txt" 2>&1 || { cat "$dir/demo.txt"; fail "the demo did not rebuild the file"; }
grep -q "matches the original byte for byte" "$dir/demo.txt" || fail "the demo did not compare"
grep -qx "  检测完毕" "$dir/demo.txt" || fail "no check line in the demo"
image=$dir/demo/fat32.img original=$dir/demo/demo_shop.mdf

"$cli" scan "$image" -o "$dir/scan.info" --content "$dir/scan.content" >/dev/null 2>&1 || fail "scan"
"$cli" files "$dir/scan.info" --content "$dir/scan.content" >"$dir/files.txt" 2>&1 || fail "files"
grep -qF '3200KB' "$dir/files.txt" || { cat "$dir/files.txt"; fail "files does not list the database"; }
"$cli" recover --scan-info "$dir/scan.info" --content "$dir/scan.content" -o "$dir/from-content" --file 1 \
    --report "$dir/report.json" >/dev/null 2>&1 || fail "recover from the content file"
cmp -s "$original" "$dir/from-content/demo_shop.mdf" || fail "the file rebuilt from the content file differs"
grep -q '"rebuilt": true' "$dir/report.json" || fail "the report does not say rebuilt"
# A second run into the same folder keeps the first file and names the new one apart.
"$cli" recover --scan-info "$dir/scan.info" --content "$dir/scan.content" -o "$dir/from-content" >/dev/null 2>&1 \
    || fail "second recover"
[ -f "$dir/from-content/demo_shop(2).mdf" ] || fail "no demo_shop(2).mdf"

# Bad input.
truncate -s 258M "$dir/blank.img"
expect_exit 1 "could not be rebuilt" "$cli" recover --scan-info "$dir/scan.info" --source "$dir/blank.img" --kind partition -o "$dir/other"
grep -q "not rebuilt: analysis failed" "$dir/out.txt" || fail "no reason for the file from another image"
expect_exit 1 "no database file found" "$cli" recover "$dir/blank.img" --kind disk -o "$dir/none"
touch "$dir/a-file"
expect_exit 1 "cannot create the output folder" "$cli" recover "$image" -o "$dir/a-file/out"
expect_exit 1 "no database file in row 7" "$cli" recover --scan-info "$dir/scan.info" --content "$dir/scan.content" -o "$dir/x" --file 7
expect_exit 2 "needs --content or --source" "$cli" recover --scan-info "$dir/scan.info" -o "$dir/x"
expect_exit 2 "-o OUTDIR is required" "$cli" recover "$image"
expect_exit 2 "expected 1 argument" "$cli" recover -o "$dir/x"
echo "PASS"
