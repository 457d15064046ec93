#!/usr/bin/env bash
# Starts the real program on a virtual display with an archive on its command
# line, accepts the extract-folder chooser with the Enter key as a user would,
# and checks the extracted files and the folder the program opens at the end.
# Usage: extract-with-binary.sh ZORVANE_BINARY FIXTURES_FOLDER
set -euo pipefail
zorvane=$1
fixtures=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export XDG_DATA_DIRS=$work/data XDG_CURRENT_DESKTOP=
unset QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_RUNTIME_DIR" "$work/in"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$fixtures/plain.rar" "$work/in/"

# A stand-in file manager records the folder the program asks it to open.
cat > "$work/file-manager" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$1" > "$work/opened"
SCRIPT
chmod +x "$work/file-manager"
cat > "$XDG_DATA_HOME/applications/test-file-manager.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Test file manager
Exec=$work/file-manager %f
MimeType=inode/directory;
ENTRY
printf '[Default Applications]\ninode/directory=test-file-manager.desktop\n' > "$XDG_CONFIG_HOME/mimeapps.list"
# Not a first start, and no tips: the chooser is the first window to answer.
mkdir -p "$XDG_CONFIG_HOME/Quenmarsh"
printf '[General]\nFirst Run=False\nNo Instructions=1\n' > "$XDG_CONFIG_HOME/Quenmarsh/Zorvane.conf"

fail() { echo "extract-with-binary: $*" >&2; exit 1; }

# The chooser starts on the archive's folder with "a new folder per archive"
# ticked; Enter is its OK. With "Auto Open" on by default the program opens the
# extract folder and ends by itself.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" "$1" & pid=$!
    chooser=$(timeout 30 xdotool search --sync --name "^Extract to\.\.\.$" | head -n 1) || { kill $pid; exit 3; }
    sleep 0.5
    xdotool windowfocus --sync "$chooser" key Return
    for _ in $(seq 1 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then kill $pid; exit 4; fi
    wait $pid
' "$zorvane" "$work/in/plain.rar" || fail "the program did not run to its end (exit $?)"

cmp "$work/in/plain/a.txt" "$fixtures/src/plain/a.txt" || fail "a.txt differs"
cmp "$work/in/plain/b.txt" "$fixtures/src/plain/b.txt" || fail "b.txt differs"
for _ in $(seq 1 50); do [ -f "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" = "$work/in/plain" ] || fail "the extract folder was not opened"
echo "extract-with-binary: ok"
