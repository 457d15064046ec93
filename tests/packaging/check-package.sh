#!/usr/bin/env bash
# Checks the Debian package that `make package` built: its control fields and
# dependencies (dpkg-deb -I) and its files (dpkg-deb -c). As root it also
# installs the package with apt, starts the installed program as a temporary
# user on a virtual display, lets the first start set up the .rar association
# and the context-menu entries, removes the package again and checks that its
# prerm took them away and that none of the package's files is left.
# Everything it adds to the machine is taken away again, even when a step fails.
# Usage: check-package.sh PACKAGE_BUILD_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pkg_dir=$1

failures=0
fail() {
    echo "check-package: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "check-package: $*" >&2
    exit 1
}

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$pkg_dir/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
deb=$pkg_dir/zorvane_${version}_${arch}.deb
[ -f "$deb" ] || die "no package $deb"

# --- Control fields and dependencies --------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zorvane ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)'"
[[ "$(field Maintainer)" == Quenmarsh* ]] || fail "Maintainer is '$(field Maintainer)'"
[ "$(field Homepage)" = https://quenmarsh.example ] || fail "Homepage is '$(field Homepage)'"
[ -n "$(field Description)" ] || fail "no Description"
# A semicolon would be a CMake list leaking into the text.
! grep -q ';' <<<"$(field Description)" || fail "the Description has semicolons: $(field Description)"
# Package names only: versions and alternatives do not matter here.
names() { tr ',|' '\n' | sed 's/(.*)//; s/:any//; s/[[:space:]]//g' | grep -v '^$' || true; }
depends=$(field Depends | names)
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6dbus6 libqt6printsupport6 \
    libqt6svg6 libunrar5; do
    grep -qx "$needed" <<<"$depends" || fail "Depends lacks $needed: $(field Depends)"
done
for wanted in xdg-utils qt6-wayland qt6-gtk-platformtheme; do
    grep -qx "$wanted" <<<"$(field Recommends | names)" || fail "Recommends lacks $wanted"
done

control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -tvf -)
grep -Eq '^-rwxr-xr-x .* \./prerm$' <<<"$control" || fail "no executable prerm in the control archive"
grep -q ' \./md5sums$' <<<"$control" || fail "no md5sums in the control archive"
for script in postinst postrm preinst; do
    ! grep -q " \./$script\$" <<<"$control" || fail "an unexpected $script in the control archive"
done

# --- Files ----------------------------------------------------------------
contents=$(dpkg-deb -c "$deb")
expected=$(grep -v '^#' "$here/install-manifest.txt" | sed "s|@LIBDIR@|lib/$multiarch|; s|^|/usr/|" | sort)
packaged=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sed 's|^\.||' | sort)
if [ "$packaged" != "$expected" ]; then
    fail "the package's files differ from install-manifest.txt (- expected, + packaged):"
    diff <(echo "$expected") <(echo "$packaged") | grep '^[<>]' | sed 's/^</-/; s/^>/+/' >&2 || true
fi
awk '$2 != "root/root" { print "check-package: " $6 " belongs to " $2; bad = 1 } END { exit bad }' \
    <<<"$contents" >&2 || fail "files not owned by root"
while read -r mode path; do
    want=-rw-r--r--
    [ "$path" = ./usr/bin/zorvane ] && want=-rwxr-xr-x
    [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
done < <(awk '$1 !~ /^d/ { print $1, $6 }' <<<"$contents")

echo "check-package: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l <<<"$packaged") files"
echo "check-package: Depends: $(field Depends)"
[ "$failures" = 0 ] || exit 1

# --- Installed on this machine (root only) --------------------------------
if [ "$(id -u)" != 0 ]; then
    echo "check-package: not root, so the package is not installed and started"
    exit 0
fi
if dpkg-query -W -f='${Status}' zorvane 2>/dev/null | grep -q 'install ok installed'; then
    echo "check-package: zorvane is already installed here; it is left alone and not tried"
    exit 0
fi

work=$(mktemp -d)
chmod 755 "$work"
user=zorvane-check-$$
installed=0
user_added=0
packages_before=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Status}\n' | awk '$2 == "installed" { print $1 }' | sort)

cleanup() {
    set +e
    if [ "$installed" = 1 ] && dpkg-query -W zorvane >/dev/null 2>&1; then
        ZORVANE_PRERM_ACCOUNTS='' DEBIAN_FRONTEND=noninteractive apt-get purge -o DPkg::Lock::Timeout=300 -y -qq zorvane >/dev/null 2>&1
    fi
    # Whatever the install pulled in goes too.
    local added
    added=$(comm -13 <(echo "$packages_before") <(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Status}\n' |
        awk '$2 == "installed" { print $1 }' | sort))
    if [ -n "$added" ]; then
        # shellcheck disable=SC2086
        DEBIAN_FRONTEND=noninteractive apt-get purge -o DPkg::Lock::Timeout=300 -y -qq $added >/dev/null 2>&1
    fi
    [ "$user_added" = 1 ] && userdel "$user" 2>/dev/null
    rm -rf "$work" "/tmp/runtime-$user"
}
trap cleanup EXIT

cp "$deb" "$work/"
export DEBIAN_FRONTEND=noninteractive
apt-get install -o DPkg::Lock::Timeout=300 -y -qq "$work/$(basename "$deb")" >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    die "apt-get install failed"
}
installed=1
mapfile -t package_files < <(dpkg -L zorvane | while read -r path; do [ -d "$path" ] || echo "$path"; done)
[ "${#package_files[@]}" -gt 20 ] || die "dpkg -L lists only ${#package_files[@]} files"
[ -x /usr/bin/zorvane ] || die "/usr/bin/zorvane is not there"

# A temporary account, so the program and the prerm run as an ordinary user
# with a home of their own, away from every real one.
home=$work/home
useradd --system --no-create-home --home-dir "$home" --shell /usr/sbin/nologin "$user"
user_added=1
mkdir -p "$home/.config/Quenmarsh" "$work/run"
chown -R "$user:" "$home" "$work/run"
chmod 700 "$work/run"

# Starts the installed program as the user on the virtual display, then runs
# the given steps against it (as root, with xdotool) and waits for its end.
run_program() {
    local steps=$1
    # shellcheck disable=SC2016 # expanded by the inner shell
    xvfb-run -a -f "$work/Xauthority" -s "-ac -screen 0 1024x768x24" bash -c '
        user=$1 home=$2 run=$3 steps=$4
        runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin LANG=C.UTF-8 \
            DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" ZORVANE_UPDATE_URL= /usr/bin/zorvane &
        pid=$!
        window() {
            local id
            id=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
            [ -n "$id" ] && echo "$id"
        }
        press() { sleep 0.5; xdotool windowfocus --sync "$1" key "$2"; }
        gone() { for _ in $(seq 1 100); do xdotool search --onlyvisible --name "$1" >/dev/null || return 0; sleep 0.1; done; return 1; }
        status=0
        eval "$steps" || status=$?
        if [ "$status" = 0 ]; then
            main=$(window "^Zorvane\$") || status=5
        fi
        # The close button of the main window, as a user would click it.
        [ -n "${main:-}" ] && xdotool mousemove --window "$main" 406 48 click 1
        for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        if kill -0 $pid 2>/dev/null; then
            kill $pid
            wait $pid
            exit 6
        fi
        wait $pid || exit 7
        exit $status
    ' run-program "$user" "$home" "$work/run" "$steps"
}

# A later start with the tips off: the main window shows, and closes again.
printf '[General]\nFirst Run=False\nNo Instructions=1\n' >"$home/.config/Quenmarsh/Zorvane.conf"
chown "$user:" "$home/.config/Quenmarsh/Zorvane.conf"
run_program true || fail "the installed program did not show its window and close (exit $?)"

# The first start: the welcome, then the options window with both choices
# ticked, confirmed with Enter.
printf '[General]\nNo Instructions=1\n' >"$home/.config/Quenmarsh/Zorvane.conf"
run_program "w=\$(window '^Welcome to Zorvane\$') && press \"\$w\" Return &&
             o=\$(window '^0ptions\$') && press \"\$o\" Return && gone '^0ptions\$'" ||
    fail "the first start did not go through its welcome and options (exit $?)"

data=$home/.local/share
traces=("$data/applications/zorvane.desktop" "$data/kio/servicemenus/zorvane-menuweave.desktop"
    "$data/kservices5/ServiceMenus/zorvane-menuweave.desktop" "$data/nemo/actions/zorvane.nemo_action"
    "$data/nautilus/scripts/Extract with Zorvane..." "$data/nemo/actions/zorvane-2.nemo_action"
    "$data/nautilus/scripts/Extract Here")
for trace in "${traces[@]}"; do
    [ -f "$trace" ] || fail "the options did not write ${trace#"$home"/}"
done
# Written with CR LF line ends.
tr -d '\r' <"$data/zorvane/Menuweave.ini" 2>/dev/null | grep -qx 'Application1=/usr/bin/zorvane' ||
    fail "Menuweave.ini naming /usr/bin/zorvane is not in the user's data folder"
grep -q 'zorvane-menuweave' "$home/.config/Thunar/uca.xml" 2>/dev/null || fail "no Thunar action"
grep -q 'zorvane.desktop' "$home/.config/mimeapps.list" 2>/dev/null || fail "no default in mimeapps.list"
grep -q '^Exec=/usr/bin/zorvane ' "$data/applications/zorvane.desktop" 2>/dev/null ||
    fail "the association does not start /usr/bin/zorvane"

# The installed "Extract Here" extracts beside the archive and asks nothing.
mkdir "$home/in"
cp "$(dirname "$0")/../fixtures/plain.rar" "$home/in/"
chown -R "$user:" "$home/in"
# shellcheck disable=SC2016 # expanded by the inner shell
xvfb-run -a -f "$work/Xauthority" -s "-ac -screen 0 1024x768x24" bash -c '
    runuser -u "$1" -- env -i HOME="$2" USER="$1" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" \
        XDG_RUNTIME_DIR="$3" ZORVANE_UPDATE_URL= timeout 60 "$4" "$2/in/plain.rar"
' extract-here "$user" "$home" "$work/run" "$data/nautilus/scripts/Extract Here" ||
    fail "the installed Extract Here did not run to its end (exit $?)"
[ -f "$home/in/plain/a.txt" ] || fail "Extract Here did not put plain.rar's files into in/plain"

# Removal: the prerm visits only the temporary account.
ZORVANE_PRERM_ACCOUNTS=$user apt-get purge -o DPkg::Lock::Timeout=300 -y -qq zorvane >"$work/remove.log" 2>&1 || {
    cat "$work/remove.log" >&2
    die "apt-get purge failed"
}
grep -q "ran 'zorvane /uninstalling' for $user" "$work/remove.log" || {
    cat "$work/remove.log" >&2
    fail "the prerm did not run zorvane /uninstalling for the user"
}
for trace in "${traces[@]}"; do
    [ ! -e "$trace" ] || fail "${trace#"$home"/} is still there after the removal"
done
! grep -q 'zorvane-menuweave' "$home/.config/Thunar/uca.xml" 2>/dev/null || fail "the Thunar action is still there"
! grep -q 'zorvane.desktop' "$home/.config/mimeapps.list" 2>/dev/null || fail "mimeapps.list still names zorvane"
[ ! -e "/tmp/runtime-$user" ] || fail "the prerm left /tmp/runtime-$user behind"
! dpkg-query -W zorvane >/dev/null 2>&1 || fail "dpkg still knows the package after the purge"
for path in "${package_files[@]}"; do
    [ ! -e "$path" ] || fail "$path is left after the removal"
done
for folder in /usr/share/zorvane "/usr/lib/$multiarch/zorvane" /usr/share/doc/zorvane; do
    [ ! -e "$folder" ] || fail "$folder is left after the removal"
done

[ "$failures" = 0 ] || exit 1
echo "check-package: installed, started, set up by its first start, removed with its desktop integration: ok"
