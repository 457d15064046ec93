# shellcheck shell=bash
# Sourced by run.sh and startup.sh: their messages, the --runs check and the
# build folder with the programs they time.

me=$(basename "$0")

die() {
    echo "$me: $*" >&2
    exit 1
}

usage_error() {
    echo "$me: $*" >&2
    exit 2
}

check_runs() {
    [[ $1 =~ ^[1-9][0-9]*$ ]] || usage_error "--runs needs a positive number"
}

# Sets build to the absolute build folder (BUILD_DIR, else build/ in the
# repository) and dies unless each program named, relative to it, is built.
find_build() {
    build=${BUILD_DIR:-$repo/build}
    [ -d "$build" ] || die "no build folder $build (set BUILD_DIR)"
    build=$(cd "$build" && pwd)
    local program
    for program in "$@"; do
        [ -x "$build/$program" ] ||
            die "$build/$program is missing; build it with: cmake --build $build --target $(basename "$program")"
    done
}
