#!/usr/bin/env bash
# Times Zorvane's real extraction run against `unrar x` (the same UnRAR code)
# and against the bare library loop (bench/library_loop.cpp, the floor for any
# program using the library's interface) and prints a table of medians.
# Usage: bench/run.sh [--tiny] [--runs N]
#   BUILD_DIR            build folder holding bench/zorvane_bench (default: build/)
#   ZORVANE_BENCH_CACHE  corpus cache (default: ${XDG_CACHE_HOME:-$HOME/.cache}/zorvane-bench)
#   BENCH_OUT            where the trees are extracted (default: /dev/shm when it
#                        is a tmpfs with room, else $TMPDIR or /tmp)
# Builds nothing; makes the corpus when it is missing. Each archive is first
# read once untimed so every tool finds it in the page cache, then extracted N
# times by each tool in turn into a fresh folder, removed after each run. The
# first run of each tool is checked against the corpus checksums.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$here")
# shellcheck source=bench/common.sh
. "$here/common.sh"
size=full
runs=5
while [ $# -gt 0 ]; do
    case $1 in
    --tiny) size=tiny ;;
    --runs)
        runs=${2:-}
        shift
        ;;
    -h | --help)
        sed -n '2,13p' "$0"
        exit 0
        ;;
    *)
        usage_error "unknown argument $1"
        ;;
    esac
    shift
done
check_runs "$runs"

find_build bench/zorvane_bench bench/library_loop
driver=$build/bench/zorvane_bench
loop=$build/bench/library_loop
[ -x /usr/bin/time ] || die "/usr/bin/time is missing (scripts/install-deps.sh installs it)"
command -v unrar >/dev/null || die "unrar is missing (scripts/install-deps.sh installs it)"

cache=${ZORVANE_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane-bench}
corpus_flags=()
[ "$size" = tiny ] && corpus_flags=(--tiny)
bash "$here/make-corpus.sh" "${corpus_flags[@]}" "$cache"
corpus=$cache/$size

# On a disk the file system's own costs blur the comparison: ext4 without a
# journal, for one, scans past every inode deleted in the last minute before it
# reuses one, so the many-files runs would slow down by the previous run's
# removal. A tmpfs leaves only what the two programs do.
out=${BENCH_OUT:-}
if [ -z "$out" ]; then
    out=${TMPDIR:-/tmp}
    if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ] && [ -w /dev/shm ] &&
        [ "$(df -k --output=avail /dev/shm | tail -n 1)" -gt $((2 * 1024 * 1024)) ]; then
        out=/dev/shm
    fi
fi
work=$(mktemp -d "$out/zorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# name | first volume | checksum list
archives=(
    "big|big.rar|payload.sha256"
    "vol|vol.part1.rar|payload.sha256"
    "store|store.rar|payload.sha256"
    "many|many.rar|many.sha256"
    "many-noqo|many-noqo.rar|many.sha256"
)
tools=(zorvane unrar library)

# The tree under $1 holds exactly the files of checksum list $2, byte for byte.
verify() {
    local dest=$1 sums=$2 expected actual
    expected=$(wc -l <"$sums")
    actual=$(find "$dest" -type f | wc -l)
    if [ "$expected" != "$actual" ]; then
        echo "run.sh: MISMATCH in $dest: $actual files instead of $expected" >&2
        return 1
    fi
    (cd "$dest" && sha256sum --quiet --strict -c "$sums") || {
        echo "run.sh: MISMATCH: the files in $dest differ from $sums" >&2
        return 1
    }
}

# run_once TOOL NAME ARCHIVE SUMS FIRST: one timed extraction; the times go
# to $work/NAME.TOOL as "wall user sys peak-KiB".
run_once() {
    local tool=$1 name=$2 archive=$3 sums=$4 first=$5
    local dest=$work/out-$tool
    rm -rf "$dest"
    mkdir "$dest"
    # Writes of the previous run are on disk before this one starts.
    sync
    local command=()
    case $tool in
    zorvane) command=("$driver" --stats "$work/$name.paints" "$archive" "$dest") ;;
    # -cfg- keeps the user's .rarrc and RAR variable out of it.
    unrar) command=(unrar x -cfg- -o+ -idq "$archive" "$dest/") ;;
    library) command=("$loop" "$archive" "$dest") ;;
    esac
    if ! /usr/bin/time -f '%e %U %S %M' -o "$work/time" "${command[@]}" >"$work/output" 2>&1; then
        cat "$work/output" "$work/time" >&2
        [ -f "$work/$name.paints" ] && cat "$work/$name.paints" >&2
        die "$tool failed on $name"
    fi
    tail -n 1 "$work/time" >>"$work/$name.$tool"
    if [ "$first" = 1 ]; then
        local tree=$dest
        # Zorvane makes a folder per archive, as its chooser offers by default.
        [ "$tool" = zorvane ] && tree=$dest/$(basename "$archive" .rar)
        verify "$tree" "$sums" || failed=1
    fi
    rm -rf "$dest"
}

failed=0
for entry in "${archives[@]}"; do
    IFS='|' read -r name first_volume sums <<<"$entry"
    archive=$corpus/$first_volume
    echo "run.sh: $name: $runs run(s) of each tool" >&2
    cat "$corpus/${first_volume%%.*}".*rar >/dev/null
    for ((i = 0; i < runs; i++)); do
        is_first=0
        [ "$i" = 0 ] && is_first=1
        # The order turns each round, so no tool always follows the same one
        # and finds its leftovers in the caches.
        for ((k = 0; k < ${#tools[@]}; k++)); do
            tool=${tools[(i + k) % ${#tools[@]}]}
            run_once "$tool" "$name" "$archive" "$corpus/$sums" "$is_first"
        done
    done
done

python3 - "$work" "$size" "$runs" "$out ($(stat -f -c %T "$out"))" <<'PY'
import statistics
import sys

work, size, runs, out = sys.argv[1:5]
# How much slower than `unrar x` Zorvane may be, per archive.
targets = {"big": 1.05, "vol": 1.05, "store": 1.05, "many": 1.10, "many-noqo": 1.10}


def rows(name, tool):
    with open("%s/%s.%s" % (work, name, tool)) as f:
        return [[float(x) for x in line.split()] for line in f if line.strip()]


def median(values):
    return statistics.median(values)


def run_times(name):
    """The driver's own timing of each run, without the process's start-up and exit."""
    with open("%s/%s.paints" % (work, name)) as f:
        return [float(word[len("run_s="):]) for line in f for word in line.split() if word.startswith("run_s=")]


head = ("archive", "Zorvane median s", "unrar x median s", "ratio", "target", "run alone s", "run/unrar",
        "library loop s", "Zorvane/loop",
        "Zorvane user/sys s", "unrar user/sys s", "Zorvane peak MiB", "unrar peak MiB")
lines = []
notes = []
for name in targets:
    z, u, lp = rows(name, "zorvane"), rows(name, "unrar"), rows(name, "library")
    zw, uw, lw = median(r[0] for r in z), median(r[0] for r in u), median(r[0] for r in lp)
    ratio = "%.3f" % (zw / uw) if uw > 0 else "n/a"
    rw = median(run_times(name))
    run_ratio = "%.3f" % (rw / uw) if uw > 0 else "n/a"
    to_loop = "%.3f" % (zw / lw) if lw > 0 else "n/a"
    zpeak, upeak = max(r[3] for r in z) / 1024, max(r[3] for r in u) / 1024
    # On the tiny corpus the program's start-up is all there is to measure.
    if size == "tiny":
        verdict = "n/a"
    else:
        verdict = "<=%.2f %s" % (targets[name], "ok" if zw <= targets[name] * uw else "MISSED")
    lines.append((name, "%.2f" % zw, "%.2f" % uw, ratio, verdict, "%.2f" % rw, run_ratio, "%.2f" % lw, to_loop,
                  "%.2f/%.2f" % (median(r[1] for r in z), median(r[2] for r in z)),
                  "%.2f/%.2f" % (median(r[1] for r in u), median(r[2] for r in u)),
                  "%.1f" % zpeak, "%.1f" % upeak))
    if name == "big" and size != "tiny":
        notes.append("peak memory on big: Zorvane %.1f MiB, unrar %.1f MiB (%+.1f MiB; allowed +40)"
                     % (zpeak, upeak, zpeak - upeak))

widths = [max(len(str(row[i])) for row in [head] + lines) for i in range(len(head))]
print("Corpus: %s, %s run(s) of each tool, extracted to %s; medians of wall time; peak = highest RSS of the runs"
      % (size, runs, out))
print("run alone: Zorvane's run timed inside the process, from the archive handed over to the summary"
      " (start-up is bench/startup.sh's)")
for row in [head] + lines:
    print(" | ".join(str(cell).ljust(w) for cell, w in zip(row, widths)).rstrip())
for note in notes:
    print(note)
print("Zorvane's window during each run (first run):")
for name in targets:
    with open("%s/%s.paints" % (work, name)) as f:
        print("  %-9s %s" % (name, f.readline().strip()))
PY

[ "$failed" = 0 ] || die "verification FAILED: an extracted tree differs from the corpus"
echo "run.sh: every extracted tree matched the corpus"
