#!/usr/bin/env bash
# Runs the Wayland session test under a headless weston whose desktop is one
# plain colour and has no panel, in temporary HOME and XDG folders.
# Usage: wayland-session.sh TEST_BINARY
set -euo pipefail
test_binary=$1

work=$(mktemp -d)
compositor=
stop() {
    [ -z "$compositor" ] || { kill "$compositor"; wait "$compositor"; } 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_DIRS=$work/etc-xdg XDG_DATA_DIRS=$work/data XDG_CURRENT_DESKTOP=
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zorvane-test
# The headless output has no seat, and Qt 6.4's Wayland input method then
# dereferences a keyboard that is not there; key events reach the widgets
# directly in this test.
export QT_IM_MODULE=none
# The desktop colour the test looks for around the window.
cat > "$work/weston.ini" <<INI
[shell]
background-color=0xff3a7d44
panel-position=none
INI

# --debug lets weston-screenshooter take pictures of the output.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --socket="$WAYLAND_DISPLAY" \
    --config="$work/weston.ini" --debug >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    kill -0 "$compositor" 2>/dev/null || break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$work/weston.log" >&2; exit 3; }
timeout -k 5 90 "$test_binary" || { status=$?; cat "$work/weston.log" >&2; exit $status; }
