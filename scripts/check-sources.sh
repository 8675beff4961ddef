#!/usr/bin/env bash
# House rules, checked on the sources before the build:
# - the layers point one way: a folder of src/ includes only itself and the
#   folders below it in VARNOK_FOLDERS (CMakeLists.txt), and no header
#   includes itself round a circle;
# - only src/platform includes SDL, OpenGL, OpenAL, Assimp, stb, FreeType or
#   meshoptimizer, and game code includes only the platform's public headers
#   (never its internals or its test hooks); the platform includes no game
#   header;
# - random numbers come from the game's own generator (Rand/Srand), never the
#   host C library's rand, random, drand48 or C++ <random>;
# - includes name their folder, never "../".
# The build enforces the layers and the libraries too; this says why, early.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root" <<'PY'
import os, re, sys

root = sys.argv[1]
src = os.path.join(root, "src")
cmake = open(os.path.join(root, "CMakeLists.txt")).read()
folders = re.search(r"set\(VARNOK_FOLDERS([^)]*)\)", cmake).group(1).split()
public = re.search(r"set\(VARNOK_PLATFORM_PUBLIC([^)]*)\)", cmake).group(1).split()
rank = {f: i for i, f in enumerate(folders)}
libraries = re.compile(r'#\s*include\s*[<"](SDL|AL/|GL/|KHR/|epoxy/|assimp/|stb|ft2build|freetype|meshoptimizer|zlib)')
randoms = re.compile(r'(?<![A-Za-z_.>:])(std::)?(s?rand|rand_r|s?random|[dlm]rand48|arc4random)\s*\(|#\s*include\s*<random>')
include = re.compile(r'#\s*include\s*"([^"]+)"')

faults = []
graph = {}
for dirpath, _, names in os.walk(src):
    for name in sorted(names):
        if not name.endswith((".h", ".cpp")):
            continue
        path = os.path.join(dirpath, name)
        rel = os.path.relpath(path, src)
        folder = rel.split("/")[0]
        text = open(path, encoding="utf-8").read()
        graph[rel] = []
        for n, line in enumerate(text.splitlines(), 1):
            code = line.split("//")[0]
            where = f"src/{rel}:{n}"
            m = include.search(code)
            if m:
                target = m.group(1)
                graph[rel].append(target)
                top = target.split("/")[0]
                if ".." in target.split("/"):
                    faults.append(f'{where}: include "{target}" by its folder, not with ../')
                elif top in rank and rank[top] > rank.get(folder, -1):
                    faults.append(f'{where}: {folder}/ includes "{target}" from {top}/, a layer above it')
                elif top == "platform" and folder != "platform" and os.path.basename(target) not in public:
                    faults.append(f'{where}: "{target}" is inside the platform; game code uses its public headers')
            if folder != "platform" and libraries.search(code):
                faults.append(f"{where}: only src/platform may include this library: {line.strip()}")
            if folder != "platform" and randoms.search(code):
                faults.append(f"{where}: the host's random numbers; use Rand/Srand: {line.strip()}")

# Circles of includes, file by file.
state = {}
def visit(node, trail):
    state[node] = 1
    for nxt in graph.get(node, []):
        if nxt not in graph:
            continue
        if state.get(nxt) == 1:
            faults.append("include circle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
        elif nxt not in state:
            visit(nxt, trail + [nxt])
    state[node] = 2
for node in sorted(graph):
    if node not in state:
        visit(node, [node])

for f in faults:
    print("check-sources: " + f, file=sys.stderr)
sys.exit(1 if faults else 0)
PY
