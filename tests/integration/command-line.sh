#!/usr/bin/env bash
# The real program's command line: help, version and mistakes without any
# display, then runs that ask for no folder (--extract-here, --extract-to),
# which end by themselves and leave the settings as they were.
# Usage: command-line.sh ZORVANE_BINARY FIXTURES_FOLDER
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"
zorvane=$1
fixtures=$2

begin_script

# expect STATUS COMMAND...: runs COMMAND without a display; its output is in
# $work/out and $work/err.
expect() {
    local want=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$zorvane" "$@" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = "$want" ] || fail "'$*' ended with $status, not $want: $(cat "$work/err")"
}

expect 0 --help
grep -q -- '--extract-to <folder>' "$work/out" || fail "--help does not list --extract-to"
grep -q -- '--extract-here' "$work/out" || fail "--help does not list --extract-here"
expect 0 --version
grep -Eqx 'Zorvane [0-9]+\.[0-9]+\.[0-9]+' "$work/out" || fail "--version printed '$(cat "$work/out")'"
expect 2 --bogus "$fixtures/plain.rar"
grep -q "Unknown option '--bogus'" "$work/err" || fail "no clear message for an unknown option"
expect 2 --extract-here
grep -q "No archive given" "$work/err" || fail "no clear message without an archive"

# The rest runs offscreen, where a window waiting for an answer (the first
# start's welcome, the tips, the folder chooser) would hold the run to its timeout.
export QT_QPA_PLATFORM=offscreen
mkdir "$work/in" "$work/in/plain"
cp "$fixtures/nested.rar" "$fixtures/plain.rar" "$fixtures"/span.part*.rar "$work/in/"
cp "$fixtures/plain.rar" "$work/in/--x.rar"
timeout 60 "$zorvane" --extract-here "$work/in/nested.rar" "$work/in/plain.rar" "$work/in/span.part1.rar" ||
    fail "--extract-here ended with $?"
[ ! -e "$XDG_CONFIG_HOME/Quenmarsh" ] || fail "a first run from the command line wrote settings"
cmp -s "$work/in/nested/docs/a/b/deep.txt" "$fixtures/src/nested/docs/a/b/deep.txt" || fail "nested.rar not in nested/"
cmp -s "$work/in/plain (2)/a.txt" "$fixtures/src/plain/a.txt" || fail "plain.rar not in 'plain (2)' beside a taken name"
[ -f "$work/in/span.bin" ] || fail "the volume set's single file not beside it"
write_program_settings ""
cp "$XDG_CONFIG_HOME/Quenmarsh/Zorvane.conf" "$work/settings-before"
timeout 60 "$zorvane" --extract-to "$work/to/be/made" -- "$work/in/--x.rar" || fail "--extract-to ended with $?"
cmp -s "$work/to/be/made/--x/b.txt" "$fixtures/src/plain/b.txt" || fail "--x.rar not extracted into the new folder"
cmp -s "$work/settings-before" "$XDG_CONFIG_HOME/Quenmarsh/Zorvane.conf" || fail "the settings changed"
echo "command-line: ok"
