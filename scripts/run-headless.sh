#!/usr/bin/env bash
# "make run" on a machine without a display: extracts the sample archive (or
# the archives given) with --extract-to into a new temporary folder on a
# virtual display, then lists what came out and where the window's picture is.
# Usage: run-headless.sh BUILD_DIR [ARCHIVE...]
set -euo pipefail
build=$1
shift
archives=("$@")
[ ${#archives[@]} -gt 0 ] || archives=("$build/sample/zorvane-sample.rar")

for archive in "${archives[@]}"; do
    [ -f "$archive" ] || { echo "run-headless: no archive at $archive" >&2; exit 1; }
done
out=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-run.XXXXXX")
echo "No display: extracting ${archives[*]} into $out/extracted on a virtual display"
# After an error the program waits for its error log to be closed, which
# nobody can do on this display: it gets a minute.
ZORVANE_SCREENSHOT="$out/zorvane.png" timeout 60 xvfb-run -a -f "$out/Xauthority" -s "-screen 0 1024x768x24" \
    "$build/src/zorvane" --extract-to "$out/extracted" -- "${archives[@]}" ||
    { echo "run-headless: the run failed (status $?); see $out/zorvane.png" >&2; exit 1; }
echo "Extracted files:"
(cd "$out/extracted" && find . -type f | sed 's|^\./|  |' | sort)
echo "Screenshot of the window: $out/zorvane.png"
