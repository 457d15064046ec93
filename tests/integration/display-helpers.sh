# shellcheck shell=bash
# Pieces shared by the scripts that drive the program on a virtual X display.
# Sourced, not run; the functions leave error handling to the calling script.

display_helpers=${BASH_SOURCE[0]}

# isolate_session DIR: HOME and the XDG folders under DIR, so that neither the
# program nor the display's helpers read or change the user's own, and Qt's X
# platform, whatever the calling session uses.
isolate_session() {
    local dir=$1
    export HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data XDG_CACHE_HOME=$dir/cache
    export XDG_RUNTIME_DIR=$dir/run XDG_CONFIG_DIRS=$dir/etc-xdg XDG_DATA_DIRS=$dir/data XDG_CURRENT_DESKTOP=
    export QT_QPA_PLATFORM=xcb
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# begin_script: $work, a temporary folder removed when the script ends, with
# an isolated session in it. fail MESSAGE ends the script, naming it.
begin_script() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    isolate_session "$work"
}
fail() {
    echo "$(basename "$0" .sh): $*" >&2
    exit 1
}

# install_file_manager RECORD: makes a stand-in the default file manager of the
# isolated session; it adds each folder it is asked to open as a line to RECORD.
install_file_manager() {
    local record=$1 manager=$XDG_DATA_HOME/test-file-manager
    mkdir -p "$XDG_DATA_HOME/applications"
    cat >"$manager" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$1" >> "$record"
SCRIPT
    chmod +x "$manager"
    cat >"$XDG_DATA_HOME/applications/test-file-manager.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Test file manager
Exec=$manager %f
MimeType=inode/directory;
ENTRY
    printf '[Default Applications]\ninode/directory=test-file-manager.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
}

# write_program_settings MORE: the program's settings in the isolated session,
# with MORE (printf %b escapes, may be empty) after the [General] group. Not a
# first start, and no tips: no window but the one the script expects comes up.
write_program_settings() {
    mkdir -p "$XDG_CONFIG_HOME/Quenmarsh"
    printf '[General]\nFirst Run=False\nNo Instructions=1\n%b' "$1" >"$XDG_CONFIG_HOME/Quenmarsh/Zorvane.conf"
}

# virtual_display DIR COMMAND...: COMMAND on a fresh virtual X display and its
# status; the display's key and log (xvfb.log) stay in DIR. Left to itself,
# xvfb-run keeps the key in a folder of its own in /tmp, and when removing that
# fails it reports 5 in place of COMMAND's status.
virtual_display() {
    local dir=$1
    shift
    xvfb-run -a -f "$dir/Xauthority" -e "$dir/xvfb.log" -s "-screen 0 1024x768x24" "$@"
}

# run_with_tray DIR COMMAND...: runs COMMAND on a fresh virtual display with
# trayer as its notification area and returns its status; the display's log
# (kept in DIR) goes to stderr when that is not 0. A session bus nobody listens
# on makes Qt, finding no status-notifier host, dock its icon in the XEmbed tray.
run_with_tray() {
    local dir=$1 status=0
    shift
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/no-bus
    # shellcheck disable=SC2016 # expanded by the shell on the display
    virtual_display "$dir" bash -c '. "$0" && with_tray "$@"' "$display_helpers" "$(basename "$0" .sh)" "$@" || status=$?
    [ $status = 0 ] || cat "$dir/xvfb.log" >&2 || true
    return $status
}

# with_tray NAME COMMAND...: on the current display, starts trayer, runs COMMAND
# and stops trayer whatever way the shell ends. trayer gives up at once when it
# cannot connect, which a display still starting up may refuse, so it gets a
# few tries until its panel is up. NAME begins its messages.
with_tray() {
    local name=$1 try
    shift
    tray=
    trap stop_tray EXIT
    for try in 1 2 3 4 5; do
        trayer --edge top --align right --widthtype request --height 32 &
        tray=$!
        for _ in $(seq 1 50); do
            kill -0 "$tray" 2>/dev/null || break
            xdotool search --class trayer >/dev/null 2>&1 && break 2
            sleep 0.1
        done
        echo "$name: trayer did not come up (try $try)" >&2
        stop_tray
        tray=
        sleep 1
    done
    [ -n "$tray" ] || exit 3
    "$@"
}

stop_tray() {
    [ -z "$tray" ] || { kill "$tray"; wait "$tray"; } 2>/dev/null
}
