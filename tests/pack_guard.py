#!/usr/bin/env python3
"""Records the data pack's every file before the tests and checks after them
that no test changed, added or removed one (the player's saved options live
there too).
    pack_guard.py record|check PACK SUMS"""
import hashlib
import os
import sys


def sums(pack):
    out = {}
    for d, dirs, files in os.walk(pack):
        dirs.sort()
        for n in sorted(files):
            p = os.path.join(d, n)
            rel = os.path.relpath(p, pack)
            if os.path.islink(p):
                out[rel] = "link " + os.readlink(p)
            else:
                with open(p, "rb") as f:
                    out[rel] = hashlib.sha1(f.read()).hexdigest()
    return out


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("record", "check"):
        sys.exit(__doc__)
    what, pack, path = sys.argv[1:]
    now = sums(pack)
    if what == "record":
        with open(path, "w") as f:
            f.writelines(f"{k}\t{v}\n" for k, v in sorted(now.items()))
        print(f"{len(now)} files of {pack} recorded")
        return 0
    before = {}
    with open(path) as f:
        for line in f:
            k, _, v = line.rstrip("\n").partition("\t")
            before[k] = v
    changed = sorted(k for k in before.keys() & now.keys() if before[k] != now[k])
    added = sorted(now.keys() - before.keys())
    removed = sorted(before.keys() - now.keys())
    for word, names in (("changed", changed), ("added", added), ("removed", removed)):
        for n in names:
            print(f"{pack}/{n}: {word} while the tests ran")
    if changed or added or removed:
        return 1
    print(f"{len(now)} files of {pack} as they were")
    return 0


if __name__ == "__main__":
    sys.exit(main())
