#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks it as a desktop sees it: menu
# entries whose programs are there, AppStream metadata, the icon at every size, the
# maker's page, and kernova started by bus activation with none running.
#   check-install.sh <build dir> <source dir>
set -euo pipefail
build=$1 source=$2
"$source/scripts/install-deps"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share

desktop-file-validate "$share"/applications/*.desktop
for entry in "$share"/applications/*.desktop; do
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$prefix/bin/$program" ] || { echo "$entry: no $program in bin/"; exit 1; }
done
grep -qx 'MimeType=font/ttf;' "$share/applications/org.tovane.Kernova.desktop"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml

icons=$share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  file "$icons/${size}x$size/apps/org.tovane.DeruziZazaRurid.png" | grep -q "PNG image data, $size x $size"
done
grep -q '<path' "$icons/scalable/apps/org.tovane.DeruziZazaRurid.svg"
[ -s "$share/deruzizazarurid/index.html" ]

# A private bus that finds its services under the prefix; kernova runs offscreen.
export XDG_DATA_DIRS=$share QT_QPA_PLATFORM=offscreen
dbus-run-session -- bash -c '
  gdbus call --session --dest Kernova.Application --object-path /Application \
      --method org.freedesktop.DBus.Properties.Get Kernova.Application ActiveDocument
  gdbus call --session --dest Kernova.Application --object-path /Application \
      --method Kernova.Application.Quit'
