#!/usr/bin/env bash
# Builds the Debian package from the build tree and has lintian check it: no errors.
#   check-package.sh <build dir> <source dir>
set -euo pipefail
build=$1 source=$2
"$source/scripts/package" "$build"
lintian --fail-on error --no-tag-display-limit "$build"/package/deruzizazarurid_*.deb
