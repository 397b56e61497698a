#!/usr/bin/env python3
"""Lists, for every rebuilt file of a recovery, the pages that differ from the original and why.

Usage: page_differences.py OUT_DIR GROUND.json [--mdf-dir DIR]
The rebuilt file of each original is the one in OUT_DIR with the most own pages equal to it
(own page: not all zero, header names file 1 and its own page number, as score.py counts).
"""
import argparse, hashlib, json, os, struct

PAGE = 8192


def pages(data):
    return [data[i:i + PAGE] for i in range(0, len(data), PAGE)]


def own(page, number):
    if page.count(0) == PAGE:
        return False
    page_id, file_id = struct.unpack_from("<IH", page, 32)
    return file_id == 1 and page_id == number


def describe(number, original, rebuilt):
    if original is None:
        return "past the original's end (file header claims more pages), zero" if rebuilt.count(0) == PAGE else "past the original's end"
    if rebuilt is None:
        return "missing at the end of the rebuilt file"
    if rebuilt.count(0) == PAGE:
        if original.count(0) == PAGE:
            return "?"
        return "zero in the rebuilt file; original page is not an own page (stale foreign page)" if not own(original, number) \
            else "zero in the rebuilt file; original own page not recovered"
    if not own(original, number):
        return "original page is not an own page; rebuilt holds other bytes"
    same = sum(1 for s in range(16) if original[s * 512:(s + 1) * 512] == rebuilt[s * 512:(s + 1) * 512])
    return "own page differs in %d of 16 sectors" % (16 - same)


def ranges(numbers):
    """[1, 2, 3, 7] as ["1-3", "7"]."""
    out, start = [], None
    for i, n in enumerate(numbers):
        if start is None:
            start = n
        if i + 1 == len(numbers) or numbers[i + 1] != n + 1:
            out.append(str(start) if start == n else "%d-%d" % (start, n))
            start = None
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out_dir")
    parser.add_argument("ground")
    parser.add_argument("--mdf-dir", default=os.path.join(os.path.dirname(__file__), "../../shared/data/mdf"))
    args = parser.parse_args()
    ground = json.load(open(args.ground))
    rebuilt_files = {name: pages(open(os.path.join(args.out_dir, name), "rb").read())
                     for name in sorted(os.listdir(args.out_dir))}
    for entry in ground["files"]:
        original_data = open(os.path.join(args.mdf_dir, entry["source"]), "rb").read()
        original = pages(original_data)
        best, best_count = None, -1
        for name, rebuilt in rebuilt_files.items():
            count = sum(1 for i, p in enumerate(original) if own(p, i) and i < len(rebuilt) and rebuilt[i] == p)
            if count > best_count:
                best, best_count = name, count
        rebuilt = rebuilt_files.get(best, [])
        identical = hashlib.sha256(b"".join(rebuilt)).hexdigest() == hashlib.sha256(original_data).hexdigest()
        print("%s %s -> %s: %s" % (ground["name"], entry["source"], best, "sha identical" if identical else
              "%d pages rebuilt, %d original" % (len(rebuilt), len(original))))
        reasons = {}
        for i in range(max(len(original), len(rebuilt))):
            o = original[i] if i < len(original) else None
            r = rebuilt[i] if i < len(rebuilt) else None
            if o == r:
                continue
            reasons.setdefault(describe(i, o, r), []).append(i)
        for reason, numbers in sorted(reasons.items()):
            shown = ", ".join(ranges(numbers))
            print("  %d page(s): %s: %s" % (len(numbers), reason, shown))


if __name__ == "__main__":
    main()
