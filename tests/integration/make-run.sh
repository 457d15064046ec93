#!/usr/bin/env bash
# "make run" on a machine without a display: the sample archive is extracted
# on a virtual display, its files are listed and a picture of the window is left.
# Usage: make-run.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"
source_dir=$1
build=$2

begin_script

out=$(env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR="$work" bash "$source_dir/scripts/run-headless.sh" "$build") ||
    fail "run-headless.sh ended with $?"
for name in ZorvaneTips.txt help/main.htm help/files.htm; do
    grep -qx "  zorvane-sample/$name" <<<"$out" || fail "$name is not listed: $out"
done
picture=$(sed -n 's/^Screenshot of the window: //p' <<<"$out")
file "$picture" | grep -q 'PNG image data' || fail "no picture of the window at '$picture'"
echo "make-run: ok"
