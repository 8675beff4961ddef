#!/usr/bin/env bash
# The Debian package as a player gets it.  cpack builds it from the build
# folder; debootstrap makes a fresh Debian 12 root in this test's own
# folder; apt installs the package there with what it depends on; then a
# player whose data folder (/usr/share/varnok) is read-only runs the
# installed command: the version, the headless demo, and a session that
# applies the options and takes a screenshot; the options and settings
# files and the shot must land in the player's XDG folders and nowhere else.
#
#   package_test.sh BUILD_DIR [MIRROR]
# Needs root (it makes a root folder and mounts /proc in it); exits 77, a
# skip, otherwise.  Everything is made under one temporary folder, removed
# at the end.
set -euo pipefail
build=$(cd "$1" && pwd)
mirror=${2:-http://deb.debian.org/debian}
if [ "$(id -u)" -ne 0 ]; then
  echo "package test: needs root to make and enter a Debian root; skipped"
  exit 77
fi
for tool in cpack debootstrap chroot unshare; do
  command -v "$tool" >/dev/null || { echo "package test: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/varnok-package.XXXXXX")
trap 'rm -rf --one-file-system "$work"' EXIT
step() { echo "== $1"; }

step "the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/cpack/varnok_*.deb)
dpkg-deb -I "$deb" | grep -E "^ (Package|Version|Depends):"

step "a fresh Debian 12 root"
root=$work/root
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -30 "$work/debootstrap.log"; exit 1; }
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
cp "$deb" "$root/tmp/varnok.deb"

# Every command in the root runs in a mount namespace of its own, so /proc
# goes away with it whatever happens.
in_root() { unshare --mount --fork sh -c 'mount -t proc proc "$0/proc" && exec chroot "$0" "$@"' "$root" "$@"; }

step "installing it with apt"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends /tmp/varnok.deb \
  >"$work/apt.log" 2>&1 || { tail -40 "$work/apt.log"; exit 1; }
grep -E "^(Setting up|Unpacking) varnok" "$work/apt.log" | head -2
for f in /usr/bin/varnok /usr/share/varnok/Map/Mountainous.x /usr/share/applications/net.varnok.varnok.desktop \
  /usr/share/metainfo/net.varnok.varnok.metainfo.xml /usr/share/icons/hicolor/48x48/apps/varnok.png \
  /usr/share/icons/hicolor/256x256/apps/varnok.png; do
  [ -f "$root$f" ] || { echo "package test: the package did not install $f"; exit 1; }
done

step "the installed command, as a player"
in_root useradd --create-home --uid 4321 player
cat >"$root/home/player/session.txt" <<'SCRIPT'
# The title's OPTIONS, the options screen's APPLY, a screenshot, quit.
10 move 400 420
11 buttondown left
12 buttonup left
40 move 78 518
41 buttondown left
42 buttonup left
70 keydown T
71 keyup T
90 keydown F1
SCRIPT
mkdir -p "$root/home/player/.config" "$root/home/player/Pictures"
echo 'XDG_PICTURES_DIR="$HOME/Pictures"' >"$root/home/player/.config/user-dirs.dirs"
chown -R 4321:4321 "$root/home/player"
as_player() {
  in_root env -i HOME=/home/player PATH=/usr/bin:/bin USER=player \
    setpriv --reuid=4321 --regid=4321 --clear-groups sh -c 'cd "$HOME" && "$@"' sh "$@"
}
version=$(as_player varnok --version)
[ "$version" = "VARNOK Ver.1.01" ] || { echo "package test: --version said '$version'"; exit 1; }
echo "$version"
as_player varnok --headless --battle --demo --frames 600 --report /home/player/demo.json
grep -q '"backend"' "$root/home/player/demo.json" || { echo "package test: the demo wrote no report"; exit 1; }
echo "the demo ran 600 steps"
as_player varnok --headless --script /home/player/session.txt

options=$root/home/player/.config/varnok/OptionData.dat
settings=$root/home/player/.config/varnok/SettingData.dat
shot=$root/home/player/Pictures/photo0.bmp
[ -f "$options" ] || { echo "package test: no options file in ~/.config/varnok"; exit 1; }
[ "$(wc -l <"$options")" -eq 4 ] || { echo "package test: the options file is not four lines"; exit 1; }
grep -q "^key_fire " "$settings" 2>/dev/null || { echo "package test: no settings file in ~/.config/varnok"; exit 1; }
[ "$(head -c 2 "$shot" 2>/dev/null)" = BM ] ||
  { echo "package test: no screenshot in ~/Pictures; the player's folder holds:"; (cd "$root/home/player" && find .); exit 1; }
[ "$(stat -c %u "$options")" = 4321 ] && [ "$(stat -c %u "$shot")" = 4321 ] ||
  { echo "package test: the player's files are not the player's"; exit 1; }
written=$(find "$root/usr/share/varnok" -newer "$root/tmp/varnok.deb" -type f | head -3)
[ -z "$written" ] || { echo "package test: the game wrote into its data folder: $written"; exit 1; }
echo "options and settings in ~/.config/varnok/, the screenshot in ~/Pictures/photo0.bmp"
echo "package test: passed"
