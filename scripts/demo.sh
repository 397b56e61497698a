#!/usr/bin/env bash
# The whole job in one command: a small FAT32 image holding a generated database file written
# in fragments between other files and then deleted; vorthal-cli recovers it, prints the check,
# and the rebuilt file is compared with the original.
# Usage: scripts/demo.sh BUILD_DIR [FOLDER]   (FOLDER: where to work, a new temporary one by default)
set -euo pipefail
build=${1:-build}
cli=$build/cli/vorthal-cli
make_database=$build/tests/fixtures/vorthal-make-database
export PATH="$PATH:/usr/sbin:/sbin" MTOOLS_SKIP_CHECK=1
for tool in mkfs.vfat mcopy mdel; do
    command -v "$tool" >/dev/null || { echo "demo: $tool is missing (dosfstools, mtools)" >&2; exit 1; }
done
[ -x "$cli" ] && [ -x "$make_database" ] || { echo "demo: build $build first" >&2; exit 1; }

if [ -n "${2:-}" ]; then
    dir=$2
    mkdir -p "$dir"
else
    dir=$(mktemp -d /tmp/vorthal-demo.XXXXXX)
fi
echo "demo folder: $dir"
"$make_database" "$dir/demo_shop.mdf" 400
image=$dir/fat32.img
truncate -s 258M "$image"
mkfs.vfat -F 32 -s 8 -n DEMO "$image" >/dev/null
# Six files of 196 KiB (49 clusters of 4 KiB: not a whole number of 8 KiB pages); deleting two
# leaves holes that the database file fills first, so it lies in three fragments and two of
# its pages are cut at a cluster boundary.
for n in 1 2 3 4 5 6; do
    head -c $((196 * 1024)) /dev/urandom >"$dir/filler$n.bin"
    mcopy -i "$image" "$dir/filler$n.bin" ::
done
mdel -i "$image" ::filler2.bin ::filler4.bin
# FSInfo's next-free-cluster hint back to 2: allocation becomes first fit and fills the holes.
printf '\x02\x00\x00\x00' | dd status=none of="$image" bs=1 seek=$((512 + 492)) conv=notrunc
mcopy -i "$image" "$dir/demo_shop.mdf" ::DEMO.MDF
mdel -i "$image" ::DEMO.MDF
echo "image: $image (FAT32, 4 KiB clusters), demo_shop.mdf written in fragments and deleted"
echo
echo "\$ vorthal-cli recover $image -o $dir/out"
"$cli" recover "$image" -o "$dir/out" 2>"$dir/recover.err" || { cat "$dir/recover.err"; exit 1; }
echo
if cmp -s "$dir/demo_shop.mdf" "$dir/out/demo_shop.mdf"; then
    echo "the rebuilt file matches the original byte for byte: $dir/out/demo_shop.mdf"
else
    echo "the rebuilt file differs from the original" >&2
    exit 1
fi
