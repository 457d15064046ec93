#!/usr/bin/env bash
# Measures the time from process start to the first paint of the main window,
# for Zorvane and for a minimal Qt Widgets program, on one virtual display.
# Zorvane runs twice per round: with the version check off (an empty
# ZORVANE_UPDATE_URL) and pointed at a local server that accepts connections
# and never answers, which must not hold the window back.
# Usage: bench/startup.sh [--runs N]   (default 10; the programs take turns)
#   BUILD_DIR  build folder holding src/zorvane and bench/minimal_window (default: build/)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
# shellcheck source=bench/common.sh
. "$here/common.sh"
runs=10
while [ $# -gt 0 ]; do
    case $1 in
    --runs)
        runs=${2:-}
        shift
        ;;
    -h | --help)
        sed -n '2,8p' "$0"
        exit 0
        ;;
    *)
        usage_error "unknown argument $1"
        ;;
    esac
    shift
done
check_runs "$runs"
find_build src/zorvane bench/minimal_window
zorvane=$build/src/zorvane
minimal=$build/bench/minimal_window
command -v xvfb-run >/dev/null || die "xvfb-run is missing (scripts/install-deps.sh installs it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-startup.XXXXXX")
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Settings of their own: not a first start and no tips, so the main window is
# the first thing shown.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/run LANG=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Quenmarsh" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nFirst Run=False\nNo Instructions=1\n' >"$XDG_CONFIG_HOME/Quenmarsh/Zorvane.conf"
# The check must reach the silent server itself, not a proxy in between.
unset QT_QPA_PLATFORM http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

# A server that accepts every connection and never says a word.
python3 - "$work/port" "$work/connections" <<'PY' &
import os
import socket
import sys

listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(64)
with open(sys.argv[1] + ".part", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.rename(sys.argv[1] + ".part", sys.argv[1])
held = []
while True:
    held.append(listener.accept()[0])
    with open(sys.argv[2], "w") as f:
        f.write(str(len(held)))
PY
server=$!
for _ in $(seq 1 100); do
    [ -f "$work/port" ] && break
    sleep 0.05
done
[ -f "$work/port" ] || die "the silent server did not start"
silent_url=http://127.0.0.1:$(cat "$work/port")

cat >"$work/measure.py" <<'PY'
import os
import statistics
import subprocess
import sys
import time

zorvane, minimal, silent_url, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
variants = [
    ("minimal Qt window", [minimal], {}),
    ("Zorvane, check off", [zorvane], {"ZORVANE_UPDATE_URL": ""}),
    ("Zorvane, silent server", [zorvane], {"ZORVANE_UPDATE_URL": silent_url}),
]


def once(command, extra):
    env = dict(os.environ, ZORVANE_QUIT_AFTER_FIRST_PAINT="1", **extra)
    start = time.time_ns()
    done = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
    end = time.time_ns()
    for line in done.stderr.decode(errors="replace").splitlines():
        if line.startswith("first paint: "):
            return (int(line.split()[2]) - start) / 1e6, (end - start) / 1e6
    sys.exit("startup.sh: %s never painted (exit %d): %s" % (command[0], done.returncode, done.stderr.decode()[-500:]))


# One untimed start each, so all find their libraries in the page cache.
for _, command, extra in variants:
    once(command, extra)
paint = {name: [] for name, _, _ in variants}
whole = {name: [] for name, _, _ in variants}
for i in range(runs):
    # The order turns each round, so no program always follows the same one.
    for name, command, extra in variants[i % 3:] + variants[:i % 3]:
        p, w = once(command, extra)
        paint[name].append(p)
        whole[name].append(w)

base = statistics.median(paint["minimal Qt window"])
print("Start-up, %d run(s) each on Xvfb: process start to first paint, and to exit right after it" % runs)
print("%-24s | %-16s | %-12s | %-16s | %s" % ("program", "first paint ms", "range ms", "to exit ms", "x minimal"))
for name, _, _ in variants:
    m = statistics.median(paint[name])
    print("%-24s | %-16.1f | %-12s | %-16.1f | %.2f" % (
        name, m, "%.0f-%.0f" % (min(paint[name]), max(paint[name])), statistics.median(whole[name]), m / base))
off = statistics.median(paint["Zorvane, check off"])
silent = statistics.median(paint["Zorvane, silent server"])
worst = max(off, silent)
print("Zorvane / minimal: %.2f (allowed 1.50: %s)" % (worst / base, "ok" if worst <= 1.5 * base else "MISSED"))
# Run-to-run noise on a virtual display is a few milliseconds.
delay = silent - off
print("silent server vs check off: %+.1f ms (%s)" % (
    delay, "no delay" if delay <= max(10.0, 0.1 * off) else "DELAYED by the version check"))
PY

xvfb-run -a -s "-screen 0 1024x768x24" python3 "$work/measure.py" "$zorvane" "$minimal" "$silent_url" "$runs"
# Proof that the check did go out to the server during those starts.
echo "the silent server accepted $(cat "$work/connections" 2>/dev/null || echo 0) connection(s)"
