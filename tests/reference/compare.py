#!/usr/bin/env python3
"""Compares two run reports field by field, leaving out wall-clock timings.
Prints each field that differs; exits 1 when any does."""
import json
import sys

TIMING = {"wall_ms", "step_ms", "pass_ms"}


def walk(a, b, path, out):
    if isinstance(a, dict) and isinstance(b, dict):
        for k in sorted(set(a) | set(b)):
            if k in TIMING:
                continue
            if k not in a or k not in b:
                out.append(f"{path}.{k}: only in {'kept' if k in a else 'new'}")
            else:
                walk(a[k], b[k], f"{path}.{k}", out)
    elif isinstance(a, list) and isinstance(b, list):
        if len(a) != len(b):
            out.append(f"{path}: {len(a)} entries kept, {len(b)} new")
        for i, (x, y) in enumerate(zip(a, b)):
            walk(x, y, f"{path}[{i}]", out)
    elif a != b:
        out.append(f"{path}: kept {a!r}, new {b!r}")


kept, new = (json.load(open(p)) for p in sys.argv[1:3])
diffs = []
walk(kept, new, "", diffs)
for d in diffs[:40]:
    print("  " + d)
if len(diffs) > 40:
    print(f"  ... {len(diffs) - 40} more")
sys.exit(1 if diffs else 0)
