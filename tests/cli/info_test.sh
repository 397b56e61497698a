#!/usr/bin/env bash
# vorthal-cli info on a FAT32 image, an NTFS image and a whole-disk image made here; the
# expected numbers come from the file systems' own tools (mtools, ntfs-3g).
set -uo pipefail
cli=$1
export PATH="$PATH:/usr/sbin:/sbin" MTOOLS_SKIP_CHECK=1
for tool in mkfs.vfat mcopy mdel minfo mkntfs ntfscp ntfscluster; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
# expect OUTPUT_FILE LINE: the output holds exactly this line.
expect() { grep -qxF -- "$2" "$1" || { cat "$1"; fail "no line '$2'"; }; }
# number_after TEXT FILE: the first number after TEXT in FILE.
number_after() { grep -o -- "$1 *[0-9]*" "$2" | head -1 | grep -o '[0-9]*$'; }

# FAT32, 4 KiB clusters, two files of which one is deleted again.
truncate -s 258M "$dir/fat.img"
mkfs.vfat -F 32 -s 8 -n CLITEST "$dir/fat.img" >/dev/null || fail "mkfs.vfat"
head -c 300000 /dev/urandom >"$dir/a.bin"
head -c 900000 /dev/urandom >"$dir/b.bin"
mcopy -i "$dir/fat.img" "$dir/a.bin" "$dir/b.bin" :: && mdel -i "$dir/fat.img" ::b.bin || fail "mtools"
minfo -i "$dir/fat.img" :: >"$dir/minfo.txt"
reserved=$(number_after "reserved (boot) sectors:" "$dir/minfo.txt")
fatlen=$(number_after "Big fatlen=" "$dir/minfo.txt")
free=$(number_after "free clusters=" "$dir/minfo.txt")
sectors=$(( $(stat -c %s "$dir/fat.img") / 512 ))
data_start=$((reserved + 2 * fatlen))
"$cli" info "$dir/fat.img" --free-space >"$dir/out.txt" || fail "info on FAT32 exited $?"
expect "$dir/out.txt" "kind: partition image"
expect "$dir/out.txt" "file system: FAT32"
expect "$dir/out.txt" "sectors per cluster: 8"
expect "$dir/out.txt" "data start sector: $data_start"
expect "$dir/out.txt" "size in sectors: $sectors"
expect "$dir/out.txt" "scan begin: $data_start"
expect "$dir/out.txt" "scan end: $sectors"
expect "$dir/out.txt" "scan step: 8"
expect "$dir/out.txt" "free space only: yes"
expect "$dir/out.txt" "clusters free: $free"

# NTFS, 4 KiB clusters, one file.
truncate -s 32M "$dir/ntfs.img"
mkntfs -F -Q -q -c 4096 "$dir/ntfs.img" >/dev/null 2>&1 || fail "mkntfs"
ntfscp -q -f "$dir/ntfs.img" "$dir/a.bin" a.bin >/dev/null 2>&1 || fail "ntfscp"
ntfscluster -f -i "$dir/ntfs.img" >"$dir/ntfsinfo.txt" 2>/dev/null
ntfs_free=$(number_after "clusters of free space *:" "$dir/ntfsinfo.txt")
"$cli" info "$dir/ntfs.img" --free-space >"$dir/out.txt" || fail "info on NTFS exited $?"
expect "$dir/out.txt" "file system: NTFS"
expect "$dir/out.txt" "sectors per cluster: 8"
expect "$dir/out.txt" "scan begin: 0"
expect "$dir/out.txt" "scan end: 65536"
expect "$dir/out.txt" "clusters free: $ntfs_free"

# A whole disk: an MBR with the NTFS volume as its partition at sector 2048, read as a disk.
dd status=none if=/dev/zero of="$dir/disk.img" bs=512 count=1
printf '\x07' | dd status=none of="$dir/disk.img" bs=1 seek=450 conv=notrunc
printf '\x00\x08\x00\x00' | dd status=none of="$dir/disk.img" bs=1 seek=454 conv=notrunc
printf '\x00\x00\x01\x00' | dd status=none of="$dir/disk.img" bs=1 seek=458 conv=notrunc
printf '\x55\xaa' | dd status=none of="$dir/disk.img" bs=1 seek=510 conv=notrunc
dd status=none if="$dir/ntfs.img" of="$dir/disk.img" bs=512 seek=2048 conv=notrunc
truncate -s $(( (2048 + 65536 + 2048) * 512 )) "$dir/disk.img"
"$cli" info "$dir/disk.img" >"$dir/out.txt" || fail "info on the disk exited $?"
expect "$dir/out.txt" "kind: disk image"
expect "$dir/out.txt" "file system: none"
expect "$dir/out.txt" "scan begin: 0"
expect "$dir/out.txt" "scan end: 69632"
expect "$dir/out.txt" "scan step: 1"
expect "$dir/out.txt" "free space only: no"
"$cli" info "$dir/ntfs.img" --kind disk >"$dir/out.txt" || fail "info --kind disk exited $?"
expect "$dir/out.txt" "kind: disk image"

# Failures: exit 1 with one line naming the problem; usage errors exit 2.
"$cli" info "$dir/missing.img" >/dev/null 2>"$dir/err.txt"; [ $? -eq 1 ] || fail "missing source must exit 1"
grep -q "missing.img" "$dir/err.txt" || fail "the error must name the source"
"$cli" info "$dir/disk.img" --free-space >/dev/null 2>&1; [ $? -eq 1 ] || fail "--free-space on a disk must exit 1"
"$cli" info >/dev/null 2>&1; [ $? -eq 2 ] || fail "no source must exit 2"
"$cli" info "$dir/fat.img" --kind floppy >/dev/null 2>&1; [ $? -eq 2 ] || fail "bad --kind must exit 2"
echo "PASS"
