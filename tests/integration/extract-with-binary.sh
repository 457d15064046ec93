#!/usr/bin/env bash
# Starts the real program on a virtual display with an archive on its command
# line, accepts the extract-folder chooser with the Enter key as a user would,
# and checks the extracted files and the folder the program opens at the end.
# Usage: extract-with-binary.sh ZORVANE_BINARY FIXTURES_FOLDER
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"
zorvane=$1
fixtures=$2

begin_script
mkdir "$work/in"
cp "$fixtures/plain.rar" "$work/in/"
install_file_manager "$work/opened"
# The chooser is the first window to answer.
write_program_settings ""

# Starts the program with the given arguments on a fresh virtual display and
# presses Enter, the chooser's OK, once the chooser is up. The chooser starts
# on the archive's folder with "a new folder per archive" ticked; with "Auto
# Open" on by default the program opens the extract folder and ends by itself,
# which it gets 30 s for.
extract_with_enter() {
    # shellcheck disable=SC2016 # expanded by the shell on the display
    virtual_display "$work" bash -c '
        "$0" "$@" & pid=$!
        chooser=$(timeout 30 xdotool search --sync --name "^Extract to\.\.\.$" | head -n 1) || { kill $pid; exit 3; }
        sleep 0.5
        xdotool windowfocus --sync "$chooser" key Return
        for _ in $(seq 1 300); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        if kill -0 $pid 2>/dev/null; then kill $pid; exit 4; fi
        wait $pid
    ' "$zorvane" "$@"
}

extract_with_enter "$work/in/plain.rar" || fail "the program did not run to its end (exit $?)"
cmp "$work/in/plain/a.txt" "$fixtures/src/plain/a.txt" || fail "a.txt differs"
cmp "$work/in/plain/b.txt" "$fixtures/src/plain/b.txt" || fail "b.txt differs"
for _ in $(seq 1 50); do [ -f "$work/opened" ] && break; sleep 0.1; done
[ "$(tail -n 1 "$work/opened" 2>/dev/null)" = "$work/in/plain" ] || fail "the extract folder was not opened"

# Each argument is one archive exactly as given: quotation marks, blanks at
# either end and bytes that are not UTF-8 included. One chooser serves them
# all ("use for all" and "a new folder per archive" are ticked at first).
names=('it"s.rar' ' say "hi" .rar' $'caf\xe9.rar')
mkdir "$work/args"
for name in "${names[@]}"; do cp "$fixtures/plain.rar" "$work/args/$name"; done
extract_with_enter "${names[@]/#/$work/args/}" || fail "the program did not run to its end with unusual names (exit $?)"
for name in "${names[@]}"; do
    cmp "$work/args/${name%.rar}/b.txt" "$fixtures/src/plain/b.txt" || fail "$name was not extracted whole"
done
echo "extract-with-binary: ok"
