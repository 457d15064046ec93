#!/usr/bin/env bash
# Makes the benchmark archives from seeded data, the same bytes on every machine:
#   big    3 x 150 MiB pseudo-random + 3 x 50 MiB text-like files, rar -ma5 -m3
#   vol    the same files as a set of 100 MiB volumes
#   store  the same files stored (-m0)
#   many   20,000 files of 1-8 KiB in nested folders
#   many-noqo  the same without the quick-open record that rar adds by default
#          (libunrar's interface slows down with that record; see README.md)
# Usage: make-corpus.sh [--tiny] [CACHE_DIR]
# CACHE_DIR defaults to ${XDG_CACHE_HOME:-$HOME/.cache}/zorvane-bench; the full
# corpus goes to CACHE_DIR/full, the tiny one (a few hundred KiB, for the smoke
# test) to CACHE_DIR/tiny. Each step leaves a stamp when it is complete, so a
# rerun skips finished work and redoes a step that was interrupted.
# payload.sha256 and many.sha256 list the source trees' checksums.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=full
cache=
while [ $# -gt 0 ]; do
    case $1 in
    --tiny) size=tiny ;;
    -h | --help)
        sed -n '2,15p' "$0"
        exit 0
        ;;
    -*)
        echo "make-corpus: unknown option $1" >&2
        exit 2
        ;;
    *) cache=$1 ;;
    esac
    shift
done
cache=${cache:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvane-bench}
dir=$cache/$size
mkdir -p "$dir"
cd "$dir"

for tool in rar python3 sha256sum; do
    command -v "$tool" >/dev/null || {
        echo "make-corpus: $tool is missing (scripts/install-deps.sh installs it)" >&2
        exit 1
    }
done

tiny_flag=()
volume_size=100m
if [ "$size" = tiny ]; then
    tiny_flag=(--tiny)
    volume_size=100k
fi

done_already() { [ -f ".stamp-$1" ]; }
finish() { touch ".stamp-$1"; }
say() { echo "make-corpus: $*" >&2; }

# A fixed time on every file and folder, so the archives carry the same dates
# wherever they are made.
fix_times() { find "$1" -exec touch -h -d '2024-01-01 00:00:00 UTC' {} +; }

source_tree() {
    local kind=$1
    done_already "$kind" && return 0
    say "writing the $kind tree in $dir/src"
    rm -rf "src/$kind" "$kind.sha256"
    # The archives made from an older tree are stale now.
    case $kind in
    payload) rm -f .stamp-big .stamp-vol .stamp-store ;;
    many) rm -f .stamp-many-rar .stamp-many-noqo ;;
    esac
    mkdir -p src
    python3 "$here/corpus-data.py" "$kind" src "${tiny_flag[@]}"
    fix_times "src/$kind"
    (cd src && find "$kind" -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) >"$kind.sha256.part"
    mv "$kind.sha256.part" "$kind.sha256"
    finish "$kind"
}

# archive STAMP NAME TREE RAR-SWITCHES...; a volume set is NAME.partN.rar.
archive() {
    local stamp=$1 name=$2 tree=$3
    shift 3
    done_already "$stamp" && return 0
    say "archiving $tree as $name"
    rm -f "$name.rar" "$name".part*.rar
    # -cfg- keeps the user's .rarrc and RAR variable out of it.
    (cd src && rar a -cfg- -idq -y -r "$@" "../$name.rar" "$tree")
    finish "$stamp"
}

source_tree payload
source_tree many
archive big big payload -ma5 -m3
archive vol vol payload -ma5 -m3 "-v$volume_size"
archive store store payload -ma5 -m0
archive many-rar many many -ma5 -m3
archive many-noqo many-noqo many -ma5 -m3 -qo-
say "corpus ready in $dir"
