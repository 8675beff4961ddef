#!/usr/bin/env bash
# The installed layout, wherever it is unpacked: the package's files are
# taken out under a temporary folder (no root needed), the desktop entry and
# the AppStream description pass their validators, the icon is there at
# every size the theme names, each picture of its folder's size, and the
# command finds its data pack from its own folder with no --data.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb desktop-file-validate appstreamcli python3; do
  command -v "$tool" >/dev/null || { echo "install test: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/varnok-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
dpkg-deb -x "$work"/cpack/varnok_*.deb "$work/x"
usr=$work/x/usr
fail() { echo "install test: $*"; exit 1; }

desktop-file-validate "$usr/share/applications/net.varnok.varnok.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/net.varnok.varnok.metainfo.xml" ||
  fail "the AppStream description is not valid"
grep -qx "Icon=varnok" "$usr/share/applications/net.varnok.varnok.desktop" || fail "the entry names another icon"

# Each icon is a PNG with an alpha channel, as large as its folder says.
python3 - "$usr/share/icons/hicolor" <<'PY' || exit 1
import struct, sys
for size in (16, 24, 32, 48, 64, 128, 256):
    path = f"{sys.argv[1]}/{size}x{size}/apps/varnok.png"
    try:
        head = open(path, "rb").read(29)
    except OSError:
        sys.exit(f"install test: no {size}x{size} icon")
    w, h, depth, kind = struct.unpack(">IIBB", head[16:26])
    if head[:8] != b"\x89PNG\r\n\x1a\n" or (w, h) != (size, size) or kind != 6:
        sys.exit(f"install test: {path} is {w} x {h} (colour type {kind}), not a {size} x {size} RGBA PNG")
PY
[ -f "$usr/share/varnok/Icon/hicolor/64x64/apps/varnok.png" ] || fail "the pack lacks the window's icon"

# From another folder, without --data: the pack is found beside bin/.
(cd "$work" && "$usr/bin/varnok" --headless --battle --frames 5 --report "$work/r.json") ||
  fail "the installed command did not run"
grep -q '"backend": *"headless"' "$work/r.json" || fail "the installed command wrote no report"
# Played by whoever runs this (root too), from a prefix the player can write
# (an install in their own folder) and then with the pack read-only by its
# mode: APPLY and a screenshot land in the player's folders and nothing under
# share/varnok changes.
home=$work/home
printf '%s\n' "60 move 400 420" "62 buttondown left" "64 buttonup left" "100 move 666 165" "102 buttondown left" \
  "104 buttonup left" "120 move 78 518" "122 buttondown left" "124 buttonup left" "160 keydown T" "161 keyup T" \
  "170 quit" >"$work/apply.txt"
for pack in writable read-only; do
  rm -rf "$home"
  mkdir -p "$home/config" "$home/share" "$home/Pictures"
  echo "XDG_PICTURES_DIR=\"$home/Pictures\"" >"$home/config/user-dirs.dirs"
  [ "$pack" = writable ] || chmod -R a-w "$usr/share/varnok"
  before=$(cd "$usr/share/varnok" && find . -printf '%p %s %T@\n' | sort)
  (cd "$work" && XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/share \
    "$usr/bin/varnok" --headless --script "$work/apply.txt") || fail "the installed command did not apply and shoot"
  [ -f "$home/config/varnok/OptionData.dat" ] || fail "APPLY saved no options in the player's config folder ($pack pack)"
  [ -f "$home/config/varnok/SettingData.dat" ] || fail "APPLY saved no settings in the player's config folder ($pack pack)"
  [ -f "$home/Pictures/photo0.bmp" ] || fail "the screenshot is not in the player's pictures folder ($pack pack)"
  after=$(cd "$usr/share/varnok" && find . -printf '%p %s %T@\n' | sort)
  [ "$before" = "$after" ] || fail "the game wrote under share/varnok ($pack pack): $(diff <(echo "$before") <(echo "$after"))"
done
chmod -R u+w "$usr/share/varnok"
echo "install test: passed"
