#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed programs from another
# working directory, as a user of the installed tools would: the converter's batch mode and its
# translation, the loader's command line (also under its lower-case name) against the installed
# simulator, and the desktop files checked with the desktop's own tools.
#   installed-tree.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
simulator=
cleanup() {
    [ -n "$simulator" ] && kill "$simulator" 2>/dev/null && wait "$simulator" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "installed-tree: $*" >&2; exit 1; }

dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
bin=$dest/usr/bin
share=$dest/usr/share
examples=$share/doc/zor2-tools/examples
mkdir "$work/elsewhere"
cd "$work/elsewhere"

# The converter, with the examples the package ships.
"$bin/zor2conv" --convert "$examples"/*.hfd --output-dir out >/dev/null
for f in dipol_v305 dipol_v305_2 tiefpass_v410 tiefpass_v410_2; do
    [ -s "out/$f.z2k" ] || fail "zor2conv wrote no out/$f.z2k"
done
# The installed translation: English help, found without a transl/ folder here.
"$bin/zor2conv" -len --help | grep -q "^Usage: zor2conv" || fail "zor2conv -len is not English"

# The loader under both names against the installed simulator.
"$bin/zor2devsim" --version | grep -qx "zor2devsim [0-9.]*" || fail "zor2devsim --version"
"$bin/zor2devsim" --save-image image.bin --max-seconds 60 >simulator.out &
simulator=$!
for _ in $(seq 50); do [ -s simulator.out ] && break; sleep 0.1; done
port=$(head -n 1 simulator.out)
[ -n "$port" ] || fail "the simulator did not start"
"$bin/zor2fwloader" --probe --port "$port" | grep -q "^HW gefunden an: $port" ||
    fail "zor2fwloader --probe did not find the simulator"
"$bin/ZOR2fwloader" --flash "$examples/zor2-demo-fw-105.hex" --port "$port" |
    grep -q "^Flash neu beschrieben!" || fail "ZOR2fwloader --flash did not write the firmware"

# Desktop entries, AppStream data, the file type and the man pages.
desktop-file-validate "$share"/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$share"/metainfo/*.xml >/dev/null || fail "appstreamcli validate"
# (It warns that this scratch folder is not where the desktop looks; that is meant.)
out=$(update-mime-database "$share/mime" 2>&1) || { echo "$out"; fail "update-mime-database"; }
grep -q "application/x-zor-old-curve:\*.hfd" "$share/mime/globs2" || fail "no glob *.hfd"
grep -q "application/x-zor-old-curve" "$share/mime/magic" || fail "no magic for the version tags"
grep -q "application/x-zor2-curve:\*.z2k" "$share/mime/globs2" || fail "no glob *.z2k"
for icon in zor2conv zor2fwloader; do
    for size in 16 32 48 64 128 256; do
        [ -s "$share/icons/hicolor/${size}x${size}/apps/$icon.png" ] || fail "no $size px $icon"
    done
done
for page in zor2conv ZOR2fwloader zor2fwloader zor2devsim; do
    gzip -t "$share/man/man1/$page.1.gz" || fail "man page $page"
done
echo "installed-tree: the installed programs work from $PWD"
