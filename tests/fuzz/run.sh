#!/usr/bin/env bash
# Runs every fuzz target of a ZORVANE_FUZZ build, two at a time by default.
#
#   run.sh BUILD_DIR SECONDS [--keep-corpus]
#
# Each target starts from its seed corpus in tests/fuzz/corpus/<target>/, which
# is never written to. Without --keep-corpus (the `make test` smoke run) the
# inputs found go to a scratch folder that is removed afterwards; with it
# (`make fuzz`) they are kept in BUILD_DIR/corpus/<target>/ and the next run
# goes on from there. Crashing inputs are kept in BUILD_DIR/artifacts/ either
# way, and each target's libFuzzer output in BUILD_DIR/logs/. Exits non-zero
# when any target crashed, leaked or hung.
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
seconds=${2:?seconds per target}
keep=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
jobs=${FUZZ_JOBS:-2}
targets=(fuzz_CommandLine fuzz_PathText fuzz_SettingsDocument fuzz_RegionFromImage fuzz_AppVersion
         fuzz_ArchiveSession)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts" "$build/logs" "$scratch/home"
chmod 700 "$scratch/home"

# Offscreen, with settings that are not the user's; Qt's and the desktop
# libraries' own leaks are suppressed as in the sanitizer build.
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ZORVANE_UPDATE_URL=
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share"
export XDG_CACHE_HOME="$scratch/home/.cache" XDG_RUNTIME_DIR="$scratch/home"
export LSAN_OPTIONS="suppressions=$here/../lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Millions of short strings cycle through ASan's quarantine, and with its
# default 256 MB the resident size of a long run creeps towards the RSS limit.
export ASAN_OPTIONS="quarantine_size_mb=64${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

run_one() {
    local target=$1 corpus=() extra=()
    # The smoke run tries the same inputs every time, so that a crash in the
    # UnRAR library that a rare mutation reaches cannot make `make test` flaky.
    [ "$keep" = --keep-corpus ] || extra+=(-seed=1)
    # libFuzzer writes what it finds into the first folder only.
    if [ "$keep" = --keep-corpus ]; then
        mkdir -p "$build/corpus/$target"
        corpus=("$build/corpus/$target" "$here/corpus/$target")
    else
        mkdir -p "$scratch/corpus"
        cp -r "$here/corpus/$target" "$scratch/corpus/"
        corpus=("$scratch/corpus/$target")
    fi
    # A RAR5 header may ask for a 4 GiB dictionary, which the library
    # allocates at once; only the pages it uses become resident.
    [ "$target" = fuzz_ArchiveSession ] && extra+=(-malloc_limit_mb=8192)
    # libFuzzer stops itself; the outer limit only guards its start-up.
    timeout --kill-after=10 $((seconds * 2 + 120)) \
        "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${extra[@]}" \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "${corpus[@]}" >"$build/logs/$target.log" 2>&1
}

summary() {
    local target=$1 status=$2 log="$build/logs/$1.log" execs cov
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
    printf '%-24s %-8s execs %-10s %s\n' "$target" "$status" "${execs:-?}" "${cov:-}"
}

for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    (run_one "$target" && touch "$scratch/$target.ok") &
done
wait

failed=0
for target in "${targets[@]}"; do
    if [ -e "$scratch/$target.ok" ]; then
        summary "$target" ok
    else
        failed=1
        echo "---- $target failed; its log ends with:"
        grep -v 'propagateSizeHints' "$build/logs/$target.log" | tail -60 || true
        summary "$target" FAILED
    fi
done
[ "$failed" = 0 ] || echo "Crashing inputs are in $build/artifacts/ (see tests/fuzz/README.md)." >&2
exit "$failed"
