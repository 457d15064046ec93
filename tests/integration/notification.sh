#!/usr/bin/env bash
# Runs of the real program that end unseen, on a bare virtual display where
# no window is ever active, against a private session bus and the test
# notification server: the notification arrives, its "Open folder" opens the
# folder, the error log is announced, and without a server nothing happens.
# Usage: notification.sh ZORVANE_BINARY NOTIFICATION_SERVER BUS_CONFIG FIXTURES_FOLDER
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"
zorvane=$1
server=$2
bus_config=$3
fixtures=$4

begin_script
bus_pid=
server_pid=
cleanup() {
    [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
    [ -z "$bus_pid" ] || kill "$bus_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
install_file_manager "$work/opened"

read -r DBUS_SESSION_BUS_ADDRESS bus_pid < <(dbus-daemon --config-file="$bus_config" --address="unix:dir=$work" \
    --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS

# start_server ARGUMENTS...: a fresh test server, recording into $work/notes.
start_server() {
    [ -z "$server_pid" ] || kill "$server_pid"
    : >"$work/notes"
    "$server" "$DBUS_SESSION_BUS_ADDRESS" --output "$work/notes" "$@" 2>"$work/server.err" &
    server_pid=$!
    for _ in $(seq 1 100); do grep -q ready "$work/server.err" && return 0; sleep 0.05; done
    fail "the test server did not come up"
}

# run STEPS ARGUMENTS...: the program with ARGUMENTS on a fresh virtual display,
# STEPS (shell code, may be empty) run beside it; the program's status.
run() {
    local steps=$1
    shift
    # shellcheck disable=SC2016 # expanded by the shell on the display
    virtual_display "$work" bash -c '
        steps=$1; shift
        timeout 60 "$@" 2>"'"$work"'/program.err" & pid=$!
        eval "$steps"
        wait $pid
    ' run "$steps" "$zorvane" "$@"
}

mkdir "$work/in"
cp "$fixtures/nested.rar" "$fixtures/damaged.rar" "$work/in/"

start_server --capabilities body,actions --answer invoke
run "" --extract-here "$work/in/nested.rar" || fail "the run with the test server ended with $?"
IFS=$'\t' read -r app _ summary body actions <"$work/notes" || fail "no notification arrived"
[ "$app" = Zorvane ] && [ "$summary" = "Extraction done" ] || fail "the notification was '$app: $summary'"
[[ "$body" =~ ^Extracted\ [1-9][0-9]*\ file\(s\)\ to\ "$work/in/nested"$ ]] || fail "the notification said '$body'"
[[ "$actions" == *"Open folder"* ]] || fail "no Open folder action: '$actions'"
for _ in $(seq 1 50); do [ -f "$work/opened" ] && break; sleep 0.1; done
[ "$(tail -n 1 "$work/opened" 2>/dev/null)" = "$work/in/nested" ] || fail "Open folder did not open the folder"

# After errors the notification says so, and the program ends with status 1
# once the error log is closed (with its OK button's Enter).
start_server --capabilities body
status=0
run 'log=$(timeout 30 xdotool search --sync --name "^Error Log$" | head -n 1) && sleep 0.5 &&
     xdotool windowfocus --sync "$log" key Return' --extract-here "$work/in/damaged.rar" || status=$?
[ "$status" = 1 ] || fail "the run with errors ended with $status, not 1"
[ "$(cut -f3 "$work/notes")" = "Extraction ended with errors" ] || fail "errors were announced as '$(cat "$work/notes")'"
grep -q "The error log is waiting" "$work/notes" || fail "the notification does not mention the error log"

# No server: the run ends as ever, and says nothing about it.
kill "$server_pid"
server_pid=
rm -rf "$work/in/nested"
run "" --extract-here "$work/in/nested.rar" || fail "the run without a server ended with $?"
[ -f "$work/in/nested/readme.txt" ] || fail "nothing was extracted without a server"
! grep -qi 'dbus\|notif' "$work/program.err" || fail "the program complained: $(cat "$work/program.err")"
echo "notification: ok"
