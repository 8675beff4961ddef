#!/usr/bin/env python3
"""Single-line faults in the game's code, and whether the unit suite notices.

    scripts/mutants.py [options] PATH...

Each PATH is a source file or a folder of them (src/battle, src/units, ...).
Every line of code gives its mutants: a comparison flipped or loosened, a
number changed, an arithmetic or logical operator swapped, a condition
negated, a call or assignment dropped.  A seeded sample of them is built, one
at a time, in private copies of the tree under the work folder (one copy per
job, with incremental builds), and the unit suite runs against each with a
time limit.  A mutant that still passes every test survives, and is listed
with its file, line and change.  The working tree itself is never written.

Mutants a change cannot make observable are listed, with a reason each, in
tests/mutants/equivalent.txt by their id; they do not count against the
score.  The score of a folder is killed / (killed + survivors that are not
equivalent); mutants that do not build count for nothing.

Options:
  --seed N          which sample (default 1)
  --per-folder N    at most N mutants from each folder of src/ (default 40)
  --count N         at most N mutants in all
  --minutes M       start no new mutant after M minutes
  --jobs J          copies building and testing at once (default 2)
  --work DIR        where the copies, builds and results live
                    (default $TMPDIR/varnok-mutants)
  --survivors       run again only the survivors of the last run, and update
                    its figures
  --list            list the sampled mutants and stop
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EQUIVALENT = os.path.join(ROOT, "tests", "mutants", "equivalent.txt")
TEST_BINARY = "tests/varnok_tests"


# ---------------------------------------------------------------- mutants

def mask(line, in_block):
    """The line with string and character literals and comments blanked
    (same length), and whether a block comment is still open at its end."""
    out = []
    i, n = 0, len(line)
    while i < n:
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i = end + 2
            in_block = False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            in_block = True
            out.append("  ")
            i += 2
            continue
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + (c if j - i >= 2 else ""))
            i = j
            continue
        out.append(c)
        i += 1
    return "".join(out), in_block


RELATIONAL = {
    "<": ["<=", ">="],
    "<=": ["<", ">"],
    ">": [">=", "<="],
    ">=": [">", "<"],
    "==": ["!="],
    "!=": ["=="],
}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=",
              "/=": "*=", "&&": "||", "||": "&&"}
# Binary operators are written with a space each side in this code base;
# template brackets, pointers and unary signs are not.
BINARY = re.compile(r"(?<= )(<=|>=|==|!=|<|>|\+=|-=|\*=|/=|&&|\|\||\+|-|\*|/)(?= )")
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\.\d+|\d+)([fF]?)(?![\w.])")
CONDITION = re.compile(r"\b(if|while)\s*\(")
DECLARATION = re.compile(
    r"^(const\s+|static\s+|constexpr\s+|auto\b|unsigned\b|struct\b)|"
    r"^[A-Za-z_][\w:]*(<[^;=()]*>)?[\s*&]+[A-Za-z_]\w*\s*(=|\{|\(|;|\[)")
SKIP_STATEMENT = re.compile(r"^(return|break|continue|case|default|goto|else|do|for|if|while|"
                            r"switch|using|namespace|typedef|template|public|private|protected)\b")


def balanced(text):
    return text.count("(") == text.count(")") and text.count("[") == text.count("]")


def line_mutants(code, line):
    """(kind, mutated line) pairs for one line; `code` is the masked line."""
    found = []
    stripped = code.strip()
    if not stripped or stripped.startswith("#") or "static_assert" in code or "template" in code:
        return found
    for m in BINARY.finditer(code):
        op, a, b = m.group(1), m.start(1), m.end(1)
        if op in RELATIONAL:
            for to in RELATIONAL[op]:
                found.append(("comparison", line[:a] + to + line[b:]))
        elif op in ARITHMETIC:
            kind = "logic" if op in ("&&", "||") else "arithmetic"
            found.append((kind, line[:a] + ARITHMETIC[op] + line[b:]))
    for m in NUMBER.finditer(code):
        text, suffix = m.group(1), m.group(2)
        a, b = m.start(1), m.end(1)
        if code[max(0, a - 1)] == "[" and DECLARATION.match(stripped):
            continue  # an array's size
        if "." in text:
            value = float(text)
            new = "1.0" if value == 0 else repr(value * 2)
        else:
            value = int(text)
            new = "1" if value == 0 else ("0" if value == 1 else str(value + 1))
        found.append(("constant", line[:a] + new + line[b:]))
    for m in CONDITION.finditer(code):
        start = m.end()
        depth, j = 1, start
        while j < len(code) and depth:
            depth += {"(": 1, ")": -1}.get(code[j], 0)
            j += 1
        if depth == 0:
            found.append(("negation", line[:start] + "!(" + line[start:j - 1] + ")" + line[j - 1:]))
    if (stripped.endswith(";") and balanced(stripped) and not SKIP_STATEMENT.match(stripped)
            and not DECLARATION.match(stripped) and ("(" in stripped or " = " in stripped
                                                     or "++" in stripped or "--" in stripped)):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("dropped", indent + ";  // dropped\n"))
    return found


def file_mutants(path):
    rel = os.path.relpath(path, ROOT)
    with open(path) as f:
        lines = f.readlines()
    out, in_block, seen = [], False, defaultdict(int)
    prev_code = ";"
    for number, line in enumerate(lines, 1):
        code, in_block = mask(line, in_block)
        # A statement that carries on from the line before is not a whole
        # statement; only its operators and numbers are changed.
        continued = prev_code and prev_code[-1] not in ";{}:)"
        for kind, mutated in line_mutants(code, line):
            if kind == "dropped" and continued:
                continue
            key = f"{rel}\0{line.strip()}\0{mutated.strip()}"
            seen[key] += 1
            ident = hashlib.sha1(f"{key}\0{seen[key]}".encode()).hexdigest()[:10]
            out.append({"id": ident, "file": rel, "line": number, "kind": kind,
                        "before": line.rstrip("\n"), "after": mutated.rstrip("\n")})
        if code.strip():
            prev_code = code.strip()
    return out


def folder_of(rel):
    parts = rel.split("/")
    return "/".join(parts[:2]) if parts[0] == "src" and len(parts) > 2 else os.path.dirname(rel)


def collect(paths):
    files = []
    for p in paths:
        full = os.path.join(ROOT, p) if not os.path.isabs(p) else p
        if os.path.isdir(full):
            for d, _, names in os.walk(full):
                files += [os.path.join(d, n) for n in names if n.endswith(".cpp")]
        elif os.path.isfile(full):
            files.append(full)
        else:
            sys.exit(f"mutants: {p}: no such file or folder")
    mutants = []
    for f in sorted(set(files)):
        mutants += file_mutants(f)
    return mutants


def read_equivalent():
    known = {}
    if os.path.exists(EQUIVALENT):
        with open(EQUIVALENT) as f:
            for number, line in enumerate(f, 1):
                line = line.strip()
                if not line or line.startswith("#"):
                    continue
                ident, _, why = line.partition(" ")
                if not why.strip():
                    sys.exit(f"mutants: {EQUIVALENT}:{number}: an id needs its reason")
                known[ident] = why.strip()
    return known


# ---------------------------------------------------------------- copies

class Copy:
    """One private tree and its build folder."""

    def __init__(self, work, index):
        self.base = os.path.join(work, f"copy{index}")
        self.tree = os.path.join(self.base, "tree")
        self.build = os.path.join(self.base, "build")
        self.tmp = os.path.join(self.base, "tmp")
        self.current = None   # (relative path, original text) while mutated
        self.proc = None

    def sync(self):
        files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                               check=True, capture_output=True).stdout.decode().split("\0")
        for rel in filter(None, files):
            src, dst = os.path.join(ROOT, rel), os.path.join(self.tree, rel)
            if not os.path.isfile(src):
                continue
            with open(src, "rb") as f:
                data = f.read()
            if os.path.exists(dst):
                with open(dst, "rb") as f:
                    if f.read() == data:
                        continue
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copy2(src, dst)
            os.utime(dst)  # newer than any object built from an older text
        os.makedirs(self.tmp, exist_ok=True)

    def run(self, args, timeout, cwd=None):
        env = dict(os.environ, TMPDIR=self.tmp)
        self.proc = subprocess.Popen(args, cwd=cwd or self.base, env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, start_new_session=True)
        try:
            out, _ = self.proc.communicate(timeout=timeout)
            return self.proc.returncode, out.decode(errors="replace")
        except subprocess.TimeoutExpired:
            self.kill()
            self.proc.communicate()
            return None, ""
        finally:
            self.proc = None

    def kill(self):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

    def configure_and_build(self):
        if not os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            code, out = self.run(["cmake", "-S", self.tree, "-B", self.build,
                                  "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1",
                                  "-DVARNOK_BENCH=OFF"], 600)
            if code != 0:
                sys.exit(f"mutants: cmake failed in {self.build}:\n{out[-3000:]}")
        return self.build_tests(3600, os.cpu_count() or 1)

    def build_tests(self, timeout, jobs=1):
        return self.run(["cmake", "--build", self.build, "--target", "varnok_tests",
                         f"-j{jobs}"], timeout)

    def test(self, timeout):
        return self.run([os.path.join(self.build, TEST_BINARY), "--gtest_fail_fast",
                         "--gtest_brief=1"], timeout, cwd=self.tmp)

    def mutate(self, rel, text):
        path = os.path.join(self.tree, rel)
        if self.current is None or self.current[0] != rel:
            self.restore()
            with open(path) as f:
                self.current = (rel, f.read())
        with open(path, "w") as f:
            f.write(text)

    def restore(self):
        if self.current:
            rel, text = self.current
            with open(os.path.join(self.tree, rel), "w") as f:
                f.write(text)
            self.current = None


# ---------------------------------------------------------------- running

def first_failure(out):
    m = re.search(r"\[  FAILED  \] (\S+)", out)
    return m.group(1) if m else None


def summary(results, equivalent, out=sys.stdout):
    by = defaultdict(lambda: defaultdict(int))
    for r in results:
        f = folder_of(r["file"])
        by[f]["mutants"] += 1
        state = r["state"]
        if state == "survived" and r["id"] in equivalent:
            state = "equivalent"
        by[f][state] += 1
    total = defaultdict(int)
    print(f"{'folder':<16}{'mutants':>8}{'unbuilt':>8}{'killed':>8}{'survived':>9}"
          f"{'equiv':>7}{'score':>8}", file=out)
    for f in sorted(by) + ["all"]:
        row = by[f] if f != "all" else total
        if f != "all":
            for k, v in row.items():
                total[k] += v
        counted = row["killed"] + row["survived"]
        score = f"{100 * row['killed'] / counted:.0f}%" if counted else "-"
        print(f"{f:<16}{row['mutants']:>8}{row['unbuilt']:>8}{row['killed']:>8}"
              f"{row['survived']:>9}{row['equivalent']:>7}{score:>8}", file=out)


def main():
    ap = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1].strip())
    ap.add_argument("paths", nargs="*")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--per-folder", type=int, default=40)
    ap.add_argument("--count", type=int)
    ap.add_argument("--minutes", type=float)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--work", default=os.path.join(os.environ.get("TMPDIR", "/tmp"),
                                                   "varnok-mutants"))
    ap.add_argument("--survivors", action="store_true")
    ap.add_argument("--list", action="store_true")
    a = ap.parse_args()
    results_path = os.path.join(a.work, "results.json")
    equivalent = read_equivalent()

    if a.survivors:
        if not os.path.exists(results_path):
            sys.exit(f"mutants: {results_path}: no earlier run")
        with open(results_path) as f:
            earlier = json.load(f)
        wanted = {r["id"] for r in earlier if r["state"] == "survived"
                  and r["id"] not in equivalent}
        every = collect(sorted({r["file"] for r in earlier}))
        sample = [m for m in every if m["id"] in wanted]
        lost = len(wanted) - len(sample)
        if lost:
            print(f"mutants: {lost} survivors' lines have changed since; run the sample anew "
                  f"to see them", file=sys.stderr)
    else:
        if not a.paths:
            ap.error("name at least one source file or folder")
        every = collect(a.paths)
        rng = random.Random(a.seed)
        rng.shuffle(every)
        per = defaultdict(int)
        sample = []
        for m in every:
            f = folder_of(m["file"])
            if per[f] < a.per_folder:
                per[f] += 1
                sample.append(m)
        if a.count is not None:
            sample = sample[:a.count]
    # One file's mutants one after another, so each copy rebuilds little.
    sample.sort(key=lambda m: (m["file"], m["line"], m["id"]))
    if a.list:
        for m in sample:
            print(f"{m['id']} {m['file']}:{m['line']} {m['kind']}\n  - {m['before'].strip()}\n"
                  f"  + {m['after'].strip()}")
        print(f"{len(sample)} mutants")
        return 0

    os.makedirs(a.work, exist_ok=True)
    copies = [Copy(a.work, i) for i in range(max(1, a.jobs))]
    stopping = threading.Event()

    def stop(signum, frame):
        stopping.set()
        for c in copies:
            c.kill()
    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)

    print(f"mutants: preparing {len(copies)} copies in {a.work}", flush=True)
    started = time.monotonic()
    baseline = []
    for c in copies:
        c.sync()
        code, out = c.configure_and_build()
        if code != 0:
            sys.exit(f"mutants: the unmutated tree does not build in {c.build}:\n{out[-3000:]}")
    t0 = time.monotonic()
    code, out = copies[0].test(3600)
    baseline = time.monotonic() - t0
    if code != 0:
        sys.exit(f"mutants: the unit suite fails on the unmutated tree:\n{out[-3000:]}")
    limit = max(60.0, 4 * baseline)
    print(f"mutants: the suite takes {baseline:.0f} s unmutated; a mutant's run stops at "
          f"{limit:.0f} s; {len(sample)} mutants", flush=True)

    # Hand out whole files so one copy rebuilds one file at a time.
    queue = []
    for m in sample:
        if queue and queue[-1][0]["file"] == m["file"]:
            queue[-1].append(m)
        else:
            queue.append([m])
    lock = threading.Lock()
    results = []

    def worker(c):
        while not stopping.is_set():
            with lock:
                if not queue:
                    break
                group = queue.pop(0)
            for m in group:
                if stopping.is_set() or (a.minutes and time.monotonic() - started > a.minutes * 60):
                    break
                path = os.path.join(c.tree, m["file"])
                with open(path) as f:
                    lines = (c.current[1] if c.current and c.current[0] == m["file"]
                             else f.read()).splitlines(True)
                if lines[m["line"] - 1].rstrip("\n") != m["before"]:
                    continue
                lines[m["line"] - 1] = m["after"] + "\n"
                c.mutate(m["file"], "".join(lines))
                code, out = c.build_tests(900)
                if stopping.is_set():
                    break
                if code != 0:
                    state, test = "unbuilt", None
                else:
                    code, out = c.test(limit)
                    if stopping.is_set():
                        break
                    state = "survived" if code == 0 else "killed"
                    test = "time limit" if code is None else first_failure(out)
                r = dict(m, state=state, test=test)
                with lock:
                    results.append(r)
                    done = len(results)
                    mark = {"survived": "SURVIVED", "killed": "killed", "unbuilt": "unbuilt"}[state]
                    print(f"[{done}/{len(sample)}] {mark:<8} {m['id']} {m['file']}:{m['line']} "
                          f"{m['kind']}" + (f" by {test}" if test else ""), flush=True)
            c.restore()
        c.restore()

    threads = [threading.Thread(target=worker, args=(c,)) for c in copies]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for c in copies:
        c.restore()

    if a.survivors:
        # The earlier run's figures, with these mutants' new outcomes.
        fresh = {r["id"]: r for r in results}
        results = [fresh.get(r["id"], r) for r in earlier]
    with open(results_path, "w") as f:
        json.dump(results, f, indent=1)
    survivors = [r for r in results if r["state"] == "survived" and r["id"] not in equivalent]
    if survivors:
        print("\nsurvivors (not listed as equivalent):")
        for r in sorted(survivors, key=lambda r: (r["file"], r["line"])):
            print(f"{r['id']} {r['file']}:{r['line']} {r['kind']}\n  - {r['before'].strip()}\n"
                  f"  + {r['after'].strip()}")
    print()
    summary(results, equivalent)
    print(f"\nresults: {results_path}; {time.monotonic() - started:.0f} s")
    return 130 if stopping.is_set() else 0


if __name__ == "__main__":
    sys.exit(main())
