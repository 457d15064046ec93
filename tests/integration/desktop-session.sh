#!/usr/bin/env bash
# Runs the desktop-session test on a virtual display with trayer as the
# notification area, in temporary HOME and XDG folders.
# Usage: desktop-session.sh TEST_BINARY
set -euo pipefail
test_binary=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_DIRS=$work/etc-xdg XDG_DATA_DIRS=$work/data XDG_CURRENT_DESKTOP=
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# A session bus nobody listens on: Qt finds no status-notifier host and docks
# its icon in the XEmbed tray instead.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# trayer goes whatever way the test ends; the test itself is cut short well
# before ctest's limit so that this clean-up still runs. trayer gives up at
# once when it cannot connect, which a display still starting up may refuse,
# so it gets a few tries until its panel is up.
xvfb-run -a -e "$work/xvfb.log" -s "-screen 0 1024x768x24" bash -c '
    tray=
    stop_tray() { [ -z "$tray" ] || { kill $tray; wait $tray; } 2>/dev/null; }
    trap stop_tray EXIT
    for try in 1 2 3 4 5; do
        trayer --edge top --align right --widthtype request --height 32 &
        tray=$!
        for _ in $(seq 1 50); do
            kill -0 $tray 2>/dev/null || break
            xdotool search --class trayer >/dev/null 2>&1 && break 2
            sleep 0.1
        done
        echo "desktop-session: trayer did not come up (try $try)" >&2
        stop_tray
        tray=
        sleep 1
    done
    [ -n "$tray" ] || exit 3
    timeout -k 5 90 "$0"
' "$test_binary" || { status=$?; cat "$work/xvfb.log" >&2; exit $status; }
