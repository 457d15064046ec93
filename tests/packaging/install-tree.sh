#!/usr/bin/env bash
# Installs a build into a staging folder with the prefix /usr, as a package
# would, and checks what lands there: the file list and modes against the
# manifest, the icon sizes, and the desktop entry, the AppStream file and the
# man page through their own checkers.
# Usage: install-tree.sh BUILD_FOLDER MANIFEST LIBDIR
set -euo pipefail
build=$1
manifest=$2
libdir=$3

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() {
    echo "install-tree: $*" >&2
    failures=$((failures + 1))
}

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
root=$stage/usr

expected=$(grep -v '^#' "$manifest" | sed "s|@LIBDIR@|$libdir|" | sort)
found=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
if [ "$found" != "$expected" ]; then
    fail "the installed files differ from $manifest (- expected, + installed):"
    diff <(echo "$expected") <(echo "$found") | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >&2 || true
fi

# The program alone is executable; the extension is only ever loaded with dlopen.
while read -r mode path; do
    want=644
    [ "$path" = bin/zorvane ] && want=755
    [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
done < <(cd "$root" && find . -type f -printf '%m %P\n')
bad_dirs=$(cd "$root" && find . -type d ! -perm 755 -printf '%P\n')
[ -z "$bad_dirs" ] || fail "folders not 755: $bad_dirs"

for png in "$root"/share/icons/hicolor/*x*/apps/zorvane.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    actual=$(identify -format '%wx%h' "$png" 2>/dev/null) || actual="unreadable"
    [ "$actual" = "$size" ] || fail "${png#"$root"/} is $actual"
done

# Each checker passes only without a single remark.
check_quiet() {
    local what=$1 out
    shift
    if ! out=$("$@" 2>&1) || [ -n "$out" ]; then
        fail "$what:"
        echo "$out" >&2
    fi
}
check_quiet "desktop-file-validate" desktop-file-validate "$root/share/applications/zorvane.desktop"
if ! out=$(appstreamcli validate --no-net "$root/share/metainfo/io.github.zorvane.metainfo.xml" 2>&1); then
    fail "appstreamcli validate:"
    echo "$out" >&2
fi
# The whole tree: the metainfo's launchable must name an installed desktop entry.
if ! out=$(appstreamcli validate-tree --no-net "$stage" 2>&1); then
    fail "appstreamcli validate-tree:"
    echo "$out" >&2
fi

page=$root/share/man/man1/zorvane.1.gz
if ! rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$stage/man-warnings"); then
    fail "man -l could not render ${page#"$root"/}"
fi
[ ! -s "$stage/man-warnings" ] || fail "man -l warns: $(cat "$stage/man-warnings")"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES "SEE ALSO"; do
    grep -q "^$heading\$" <<<"$rendered" || fail "the man page has no $heading section"
done
grep -q 'zorvane /uninstalling' <<<"$rendered" || fail "the man page does not show zorvane /uninstalling"

[ "$failures" = 0 ] || exit 1
echo "install-tree: ok ($(wc -l <<<"$found") files)"
