#!/usr/bin/env bash
# Installs everything Zorvane needs to build, run and test on Debian 12.
# Quick when all is present; enables Debian's non-free component when the
# UnRAR library and the rar archiver have to be fetched.
set -euo pipefail

PACKAGES=(
  cmake make g++ pkg-config clang-format
  clang libclang-rt-14-dev llvm lld
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libunrar-dev libunrar-headers rar unrar
  xvfb xauth x11-utils x11-xserver-utils trayer imagemagick fonts-dejavu-core
  weston qt6-wayland
  desktop-file-utils xdg-utils xdotool dbus-daemon
  dpkg-dev file appstream man-db
  time
)

die() { echo "install-deps: $*" >&2; exit 1; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

# Adds non-free to the Components: lines of the Debian stanzas already configured
# (deb822 files) and to one-line "deb" entries of the classic list.
enable_non_free() {
  local f changed=0
  shopt -s nullglob
  for f in /etc/apt/sources.list.d/*.sources; do
    grep -q '^Suites:.*\(bookworm\|stable\)' "$f" || continue
    if grep -E '^Components:' "$f" | grep -qv 'non-free\( \|$\)'; then
      sed -i -E '/^Components:/{/(^| )non-free( |$)/!s/$/ non-free/}' "$f"
      changed=1
    fi
  done
  if [ -f /etc/apt/sources.list ]; then
    if grep -E '^deb(-src)? .*(bookworm|stable)' /etc/apt/sources.list | grep -qv ' non-free\( \|$\)'; then
      sed -i -E '/^deb(-src)? .*(bookworm|stable)/{/ non-free( |$)/!s/$/ non-free/}' /etc/apt/sources.list
      changed=1
    fi
  fi
  shopt -u nullglob
  [ "$changed" = 1 ] && echo "install-deps: enabled the non-free component"
  return 0
}

main() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && exit 0

  [ -r /etc/os-release ] || die "cannot tell which system this is (/etc/os-release is missing)"
  # shellcheck disable=SC1091
  . /etc/os-release
  [ "${ID:-}" = debian ] && [ "${VERSION_ID:-}" = 12 ] ||
    die "this script sets up Debian 12 only; found '${PRETTY_NAME:-unknown}'. Install by hand: ${PACKAGES[*]}"
  [ "$(id -u)" = 0 ] || die "run as root to install: $(echo $missing)"

  enable_non_free
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || die "apt-get update failed"
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null ||
    die "could not install: $(echo $missing)"
  missing=$(missing_packages)
  [ -z "$missing" ] || die "still missing after install: $(echo $missing)"
  echo "install-deps: all packages present"
}

main "$@"
