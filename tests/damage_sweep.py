#!/usr/bin/env python3
"""Takes each file of the data pack away in turn, then cuts it in half, then
fills it with noise, and runs the game headless through the screens or the
battle that read it.  Every run must end by itself, without a crash, and say
which file it stumbled on; a run that goes on must reach its last step, and
one that stops must stop with a message and a non-zero exit.

    damage_sweep.py EXE PACK GROUP [--only SUBSTRING] [--sample]

GROUP picks the files by the run that reads them:
    start   the title and its screens: titles, planets, skies, the map, the font
    battle  a battle: the fighting kinds, effects, sprites, sounds
    tanks   the tank select screen, every kind shown in turn
    robots  the robot select screen, every kind shown in turn
--sample takes one file of each kind of file in the group (what CI runs;
the whole sweep is for scripts/test.sh --full)."""
import hashlib
import os
import subprocess
import sys
import tempfile

# The kinds that fight are read by every battle; the rest only when the
# select screens show them.
FIGHTING = ("ABRAMS", "TIGER", "D-ED.10", "R-NO.15")
# The order the select screens show them in, from the kind each starts on.
TANK_SHOWN = ("ABRAMS", "BRDM3", "FLACKP", "FT17_BER", "M2A2", "M60", "V100", "M730A", "TIGER")
ROBOT_SHOWN = ("D-ED.10", "R-NO.15", "R-NO.16", "R-NO.13")
# Files the pack holds for a stage the game never offers.
UNREAD = ("Map/City.bmp", "Map/City.x", "Map/CityWall.png")
# The desktop's icons: an install puts them in the icon theme; the game reads
# one for its window's icon, with a window only, never in these headless runs.
UNREAD_FOLDERS = ("Icon/",)
OPTIONS = "Data/OptionData.dat"


def click(step, x, y):
    return [f"{step} move {x} {y}", f"{step + 2} buttondown left", f"{step + 4} buttonup left"]


def select_script(side_button, shown):
    """From the title to one side's select screen, then the left arrow shown
    times: each press brings the next kind up and reads its files."""
    lines = click(100, 400, 260) + click(200, *side_button)
    for i in range(shown):
        lines += click(300 + 10 * i, 80, 300)
    return "\n".join(lines) + "\n", 320 + 10 * shown


def group_of(rel):
    top, _, rest = rel.partition("/")
    if rel in UNREAD or rel == ".stamp" or rel.startswith(UNREAD_FOLDERS):
        return None
    if top == "Sound" or rel == "Map/Stop.bmp":
        return "battle"
    if top in ("Title", "Star", "Sky", "Map", "Font", "Data") or rel == "LAND/Effect/ShadowMap.fx":
        return "start"
    kind = rest.partition("/")[0]
    if top == "LAND" and (kind in FIGHTING or kind in ("Effect", "Sprite")):
        return "battle"
    if top == "LAND" and kind in TANK_SHOWN:
        return "tanks"
    if top == "LAND" and kind in ROBOT_SHOWN:
        return "robots"
    return "unknown"


def run_args(group, rel, work):
    """The game's flags for a run that reads rel."""
    if group == "start":
        return ["--frames", "20"]
    if group == "battle":
        return ["--battle", "--frames", "20"]
    kind = rel.split("/")[1]
    if group == "tanks":
        text, frames = select_script((170, 290), TANK_SHOWN.index(kind))
    else:
        text, frames = select_script((630, 290), ROBOT_SHOWN.index(kind))
    script = os.path.join(work, "select.txt")
    with open(script, "w") as f:
        f.write(text)
    return ["--script", script, "--frames", str(frames)]


def noise(rel, size):
    """The same bytes every run for the same file."""
    out = bytearray()
    seed = rel.encode()
    while len(out) < size:
        seed = hashlib.sha256(seed).digest()
        out += seed
    return bytes(out[:size])


def damage(path, rel, how, original):
    os.remove(path)
    if how == "truncated":
        with open(path, "wb") as f:
            f.write(original[: len(original) // 2])
    else:
        with open(path, "wb") as f:
            f.write(noise(rel, min(max(len(original), 64), 1 << 20)))


def check(exe, pack, work, group, rel, how):
    """Runs the game over the damaged pack; returns what went wrong, or None."""
    report = os.path.join(work, "report.json")
    if os.path.exists(report):
        os.remove(report)
    args = [exe, "--headless", "--seed", "1", "--data", pack, "--report", report]
    args += run_args(group, rel, work)
    try:
        # Only a hang is stopped: no run comes near this on any machine.
        done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    except subprocess.TimeoutExpired:
        return "did not end"
    said = done.stdout.decode("utf-8", "replace")
    tail = said.strip().splitlines()[-3:]
    if done.returncode < 0:
        return f"was killed by signal {-done.returncode}: {tail}"
    if any(w in said for w in ("Sanitizer", "runtime error", "terminate called", "Assertion")):
        return f"went wrong inside: {tail}"
    if rel not in said and not (how == "missing" and rel == OPTIONS):
        return f"did not name the file (exit {done.returncode}): {tail}"
    if done.returncode == 0:
        frames = int(args[args.index("--frames") + 1])
        try:
            with open(report) as f:
                import json
                ran = json.load(f)["frames"]
        except (OSError, ValueError, KeyError) as e:
            return f"went on but left no report ({e})"
        if ran != frames:
            return f"went on but stopped at step {ran} of {frames}"
    return None


def main():
    argv = sys.argv[1:]
    only = None
    sample = "--sample" in argv
    if sample:
        argv.remove("--sample")
    if "--only" in argv:
        i = argv.index("--only")
        only = argv[i + 1]
        del argv[i: i + 2]
    if len(argv) != 3:
        sys.exit(__doc__)
    exe, source, group = argv
    with tempfile.TemporaryDirectory(prefix="varnok-sweep-") as work:
        return sweep(exe, source, work, group, only, sample)


def sweep(exe, source, work, group, only, sample):
    # The sweep's pack links to the built one's files; a damaged file
    # replaces its link, so the built pack is never touched.  What a player
    # saved there (options, settings, screenshots) is left out: the runs'
    # clicks are laid out for the default screen.
    pack = os.path.join(work, "data")
    # Nor may the player's own folders (saved options, screenshots) count.
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    os.environ["XDG_DATA_HOME"] = os.path.join(work, "share")
    for d, dirs, names in os.walk(source):
        rel_dir = os.path.relpath(d, source)
        if rel_dir.split(os.sep)[0] == "Data":
            continue
        os.makedirs(os.path.join(pack, rel_dir), exist_ok=True)
        for n in names:
            if rel_dir == "." and n.startswith("photo") and n.endswith(".bmp"):
                continue
            os.symlink(os.path.abspath(os.path.join(d, n)), os.path.join(pack, rel_dir, n))
    # The options file is the player's: the sweep gives the start run a
    # saved one of its own to damage.
    if group == "start":
        os.makedirs(os.path.join(pack, "Data"), exist_ok=True)
        with open(os.path.join(pack, OPTIONS), "w") as f:
            f.write("1\n800\n600\n1024\n")

    files = []
    for d, dirs, names in os.walk(pack):
        dirs.sort()
        for n in sorted(names):
            rel = os.path.relpath(os.path.join(d, n), pack)
            g = group_of(rel)
            if g == "unknown":
                print(f"{rel}: the sweep does not know which run reads it")
                return 1
            if g == group and (only is None or only in rel):
                files.append(rel)
    if sample:
        seen, picked = set(), []
        for rel in files:
            ext = os.path.splitext(rel)[1]
            if ext not in seen:
                seen.add(ext)
                picked.append(rel)
        files = picked
    if not files:
        print(f"no file of the pack is read by the '{group}' run")
        return 1

    faults = 0
    for rel in files:
        path = os.path.join(pack, rel)
        with open(path, "rb") as f:
            original = f.read()
        for how in ("missing", "truncated", "garbage"):
            link = os.readlink(path) if os.path.islink(path) else None
            damage(path, rel, how, original)
            fault = check(exe, pack, work, group, rel, how)
            if os.path.lexists(path):
                os.remove(path)
            if link:
                os.symlink(link, path)
            else:
                with open(path, "wb") as f:
                    f.write(original)
            if fault:
                faults += 1
                print(f"{rel} {how}: the game {fault}")
    print(f"{len(files)} files, {3 * len(files)} runs, {faults} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
