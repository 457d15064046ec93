#!/usr/bin/env bash
# Sends the real program to the notification area, brings it back or leaves it
# there, and ends it the ways a user would: the icon's menu, the close button,
# the main menu, the "explore and exit" link and the run's own end. Each way is
# a fresh start of the program on a virtual display with trayer as the
# notification area, and passes only when the process itself is gone: a
# window that merely hides leaves a program nobody can reach any more.
# Usage: tray-exit.sh ZORVANE_BINARY FIXTURES_FOLDER
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"

if [ "${1:-}" != --on-display ]; then
    zorvane=$1
    fixtures=$2
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # Each path gets folders of its own; these keep the display's helpers away
    # from the user's too.
    isolate_session "$work"
    # The paths are cut short well before ctest's limit so that trayer and the
    # display are still taken down.
    run_with_tray "$work" timeout -k 5 200 bash "${BASH_SOURCE[0]}" --on-display "$zorvane" "$fixtures" "$work"
    exit 0
fi

# From here on the script runs on the virtual display, with trayer up.
zorvane=$2
fixtures=$3
work=$4

# The main window's controls, in window pixels: the to-tray and close buttons
# (24x24), the menu label and the "explore and exit" link.
readonly ToTrayButton=(374 48) CloseButton=(406 48) MenuLabel=(190 48) ExploreLink=(220 257)
readonly FormWidth=440 FormHeight=280
# The run of many archives in the last path lasts seconds, long enough to send
# the window to the tray while it is going.
readonly RunArchives=100

pid=
path_dir=
problem=
passed=0
failed=0

# The window's place and state as "X Y WIDTH HEIGHT VIEWABLE ON_ROOT", empty
# once it is gone. A docked tray icon is viewable but no longer on the root.
window_state() {
    xwininfo -children -stats -id "$1" 2>/dev/null | awk '
        /Parent window id:/ { on_root = /\(the root window\)/ }
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        /Map State:/ { viewable = $NF == "IsViewable" }
        END { if (w != "") print x, y, w, h, viewable + 0, on_root + 0 }'
}

program_windows() {
    xdotool search --pid "$pid" 2>/dev/null || true
}

# The main window, shown or hidden: the program's top-level window with the
# size of its picture.
main_window() {
    local id x y w h viewable on_root
    for id in $(program_windows); do
        read -r x y w h viewable on_root <<<"$(window_state "$id")" || continue
        if [ "${w:-}" = $FormWidth ] && [ "${h:-}" = $FormHeight ] && [ "$on_root" = 1 ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

main_shown() {
    local id
    id=$(main_window) && [ "$(window_state "$id" | cut -d' ' -f5)" = 1 ]
}

main_hidden() {
    local id
    id=$(main_window) && [ "$(window_state "$id" | cut -d' ' -f5)" = 0 ]
}

# Where to click on the icon, "X Y", once trayer has taken it into its panel.
icon_centre() {
    local id x y w h viewable on_root
    for id in $(program_windows); do
        read -r x y w h viewable on_root <<<"$(window_state "$id")" || continue
        if [ "${viewable:-0}" = 1 ] && [ "$on_root" = 0 ] && [ "$y" -lt 32 ]; then
            echo "$((x + w / 2)) $((y + h / 2))"
            return 0
        fi
    done
    return 1
}

icon_gone() {
    ! icon_centre >/dev/null
}

# A popup menu of the program on screen: a shown top-level window other than
# the main one, taller than a tool tip.
menu_shown() {
    local main id x y w h viewable on_root
    main=$(main_window) || main=
    for id in $(program_windows); do
        [ "$id" != "$main" ] || continue
        read -r x y w h viewable on_root <<<"$(window_state "$id")" || continue
        [ "${viewable:-0}" = 1 ] && [ "$on_root" = 1 ] && [ "$h" -ge 100 ] && return 0
    done
    return 1
}

title_is() {
    local id
    id=$(main_window) && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]
}

# Runs the command until it succeeds, for at most the given tenths of a second.
wait_for() {
    local deadline=$((${EPOCHREALTIME/./} + $1 * 100000))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME/./}" -lt $deadline ] || return 1
        sleep 0.1
    done
}

fail() {
    problem=$*
    return 1
}

# A fresh start with its own HOME and XDG folders and the given settings. A
# stand-in file manager records the folders the program asks it to open.
start_program() {
    local settings=$1
    shift
    isolate_session "$path_dir"
    install_file_manager "$path_dir/opened"
    write_program_settings "$settings"
    "$zorvane" "$@" >"$path_dir/program.log" 2>&1 &
    pid=$!
}

# Left click at the given window pixel of the main window.
click_main() {
    local id wx wy rest
    id=$(main_window) || fail "the main window is gone" || return 1
    read -r wx wy rest <<<"$(window_state "$id")"
    xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
}

click_icon() {
    local place x y
    place=$(icon_centre) || fail "the icon is not in the notification area" || return 1
    read -r x y <<<"$place"
    xdotool mousemove "$x" "$y" click "$@"
}

wait_for_main() {
    wait_for 150 main_window >/dev/null || fail "the main window did not come up" || return 1
    wait_for 150 main_shown || fail "the main window is not shown" || return 1
    # Mapped is not yet ready for input everywhere; a moment lets it settle.
    sleep 0.5
}

to_tray() {
    click_main "${ToTrayButton[@]}" || return 1
    wait_for 100 main_hidden || fail "the to-tray button did not hide the window" || return 1
    wait_for 100 icon_centre >/dev/null || fail "the icon did not dock in the notification area" || return 1
    sleep 0.5
}

# Opens the popup menu and picks its first or last item with the keyboard: the
# menu holds the keyboard while it is open.
pick_from_menu() {
    local key=$1
    wait_for 50 menu_shown || fail "the menu did not open" || return 1
    xdotool key "$key" Return
}

restored() {
    wait_for 100 main_shown || fail "$1 did not bring the window back" || return 1
    wait_for 50 icon_gone || fail "the icon stayed after $1" || return 1
    sleep 0.5
}

wait_for_extracted() {
    local folder
    for folder in "$@"; do
        wait_for 300 test -f "$folder/b.txt" || fail "nothing was extracted into $folder" || return 1
    done
}

wait_for_opened() {
    wait_for 50 test -s "$path_dir/opened" || fail "no folder was opened" || return 1
    [ "$(tail -n 1 "$path_dir/opened")" = "$1" ] || fail "opened $(tail -n 1 "$path_dir/opened"), not $1"
}

chooser_gone() {
    ! xdotool search --onlyvisible --name '^Extract to\.\.\.$' >/dev/null 2>&1
}

accept_chooser() {
    local chooser
    chooser=$(timeout 30 xdotool search --sync --name '^Extract to\.\.\.$' | head -n 1) ||
        fail "the extract-folder chooser did not come up" || return 1
    sleep 0.5
    xdotool windowfocus --sync "$chooser" key Return
    wait_for 100 chooser_gone ||
        fail "Return did not accept the extract-folder chooser" || return 1
}

path_tray_menu_exit() {
    start_program ""
    wait_for_main || return 1
    to_tray || return 1
    click_icon 3 || return 1
    pick_from_menu Up
}

path_tray_menu_restore() {
    start_program ""
    wait_for_main || return 1
    to_tray || return 1
    click_icon 3 || return 1
    pick_from_menu Down || return 1
    restored "the tray menu's Restore" || return 1
    click_main "${CloseButton[@]}"
}

path_double_click_main_menu() {
    start_program ""
    wait_for_main || return 1
    to_tray || return 1
    click_icon --repeat 2 --delay 80 1 || return 1
    restored "a double click on the icon" || return 1
    click_main "${MenuLabel[@]}" || return 1
    pick_from_menu Up
}

path_single_click() {
    start_program ""
    wait_for_main || return 1
    to_tray || return 1
    click_icon 1 || return 1
    restored "a single click on the icon" || return 1
    click_main "${CloseButton[@]}"
}

path_explore_link() {
    mkdir -p "$path_dir/in"
    cp "$fixtures/plain.rar" "$path_dir/in/"
    start_program '[Options]\nAuto Open=0\n' "$path_dir/in/plain.rar"
    accept_chooser || return 1
    wait_for_extracted "$path_dir/in/plain" || return 1
    wait_for 100 title_is Zorvane || fail "the run did not end" || return 1
    wait_for_main || return 1
    cmp -s "$path_dir/in/plain/a.txt" "$fixtures/src/plain/a.txt" || fail "a.txt differs" || return 1
    to_tray || return 1
    click_icon --repeat 2 --delay 80 1 || return 1
    restored "a double click on the icon" || return 1
    click_main "${ExploreLink[@]}" || return 1
    wait_for_opened "$path_dir/in/plain"
}

# With "Auto Open" on, the end of a run opens the extract folder and ends the
# program, also when the window waits in the tray.
path_run_ends_in_tray() {
    local i names=()
    mkdir -p "$path_dir/in"
    for i in $(seq -w 1 $RunArchives); do
        cp "$fixtures/plain.rar" "$path_dir/in/p$i.rar"
        names+=("$path_dir/in/p$i.rar")
    done
    start_program "" "${names[@]}"
    accept_chooser || return 1
    wait_for 100 title_is "Zorvane - Extracting Files" || fail "no run is going" || return 1
    to_tray || return 1
    local last=$path_dir/in/p$RunArchives
    [ ! -e "$last" ] || fail "the run ended before the window reached the tray; give it more archives" || return 1
    wait_for_extracted "$last" || return 1
    wait_for_opened "$last"
}

program_gone() {
    ! kill -0 "$pid" 2>/dev/null
}

# Ends the path: the process must be gone within 15 seconds of the last step,
# and gone cleanly.
wait_for_exit() {
    if ! wait_for 150 program_gone; then
        # What the user was left with tells a window that would not close
        # from one that closed and left its process behind.
        local left="no window shown"
        main_shown && left="the main window still shown"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        fail "the process was still running 15 s later, with $left"
        return 1
    fi
    local status=0
    wait "$pid" || status=$?
    [ $status = 0 ] || fail "the process ended with status $status"
}

run_path() {
    local number=$1 description=$2 steps=$3
    path_dir=$work/path$number
    problem=
    pid=
    mkdir -p "$path_dir"
    if $steps && wait_for_exit; then
        echo "tray-exit: path $number ($description): passed"
        passed=$((passed + 1))
        return 0
    fi
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    fi
    echo "tray-exit: path $number ($description): FAILED: ${problem:-a step could not be carried out}"
    sed 's/^/    program: /' "$path_dir/program.log" 2>/dev/null | tail -n 20
    failed=$((failed + 1))
}

run_path 1 "tray menu, Exit" path_tray_menu_exit
run_path 2 "tray menu, Restore, close button" path_tray_menu_restore
run_path 3 "double click on the icon, main menu, Exit" path_double_click_main_menu
run_path 4 "single click on the icon, close button" path_single_click
run_path 5 "after a run: double click on the icon, explore-and-exit link" path_explore_link
run_path 6 "a run that ends while in the tray, with Auto Open" path_run_ends_in_tray
echo "$passed passed, $failed failed"
[ $failed = 0 ]
