#!/usr/bin/env python3
"""How the pages cut by a fragment boundary came out in the rebuilt files of a recovery.

Usage: split_pages.py OUT_DIR GROUND.json [GROUND.json ...] [--mdf-dir DIR]
For every database file of the ground truth, every page that straddles two extents is looked up
in the rebuilt file with the most own pages equal to the original, and counted as identical or
not, by the original's page verification (none, torn bits, checksum). One line per file and a
total line: "split pages N, identical I, wrong without verification W0, wrong with torn bits
W1, wrong with checksum W2, not own pages in the original S" (stale pages, not database content).
"""
import argparse, json, os, struct

PAGE = 8192


def own(page, number):
    if page.count(0) == PAGE:
        return False
    page_id, file_id = struct.unpack_from("<IH", page, 32)
    return file_id == 1 and page_id == number


def straddling(entry):
    pages = set()
    for extent in entry["extents"]:
        end = extent["file_offset"] + extent["sectors"] * 512
        if end % PAGE:
            pages.add(end // PAGE)
    return sorted(p for p in pages if p < entry["pages"])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out_dir")
    parser.add_argument("grounds", nargs="+")
    parser.add_argument("--mdf-dir", default=os.path.join(os.path.dirname(__file__), "../../shared/data/mdf"))
    args = parser.parse_args()
    total = [0, 0, 0, 0, 0, 0]
    for ground_path in args.grounds:
        ground = json.load(open(ground_path))
        out = os.path.join(args.out_dir, ground["name"])
        rebuilt = {}
        if os.path.isdir(out):
            for name in os.listdir(out):
                rebuilt[name] = open(os.path.join(out, name), "rb").read()
        for entry in ground["files"]:
            original = open(os.path.join(args.mdf_dir, entry["source"]), "rb").read()
            best, best_count, best_name = b"", -1, "-"
            for name, data in rebuilt.items():
                count = sum(1 for i in range(min(len(original), len(data)) // PAGE)
                            if own(original[i * PAGE:(i + 1) * PAGE], i) and
                            data[i * PAGE:(i + 1) * PAGE] == original[i * PAGE:(i + 1) * PAGE])
                if count > best_count:
                    best, best_count, best_name = data, count, name
            counts = [0, 0, 0, 0, 0, 0]
            wrong = []
            for p in straddling(entry):
                page = original[p * PAGE:(p + 1) * PAGE]
                counts[0] += 1
                if best[p * PAGE:(p + 1) * PAGE] == page:
                    counts[1] += 1
                    continue
                if not own(page, p):
                    counts[5] += 1  # a stale or zero page inside the original: no database content
                    continue
                verification = min(page[5] & 0x0F, 2)
                counts[2 + verification] += 1
                wrong.append("%d(%s)" % (p, ["none", "torn", "checksum"][verification]))
            total = [a + b for a, b in zip(total, counts)]
            print("%s %s -> %s: split pages %d, identical %d, wrong %s" % (ground["name"], entry["source"], best_name,
                  counts[0], counts[1], " ".join(wrong) or "none"))
    print("split pages %d, identical %d, wrong without verification %d, wrong with torn bits %d, "
          "wrong with checksum %d, not own pages in the original %d" % tuple(total))


if __name__ == "__main__":
    main()
