#!/usr/bin/env bash
# Runs the desktop-session test on a virtual display with trayer as the
# notification area, in temporary HOME and XDG folders.
# Usage: desktop-session.sh TEST_BINARY
set -euo pipefail
# shellcheck source=SCRIPTDIR/display-helpers.sh
. "$(dirname "${BASH_SOURCE[0]}")/display-helpers.sh"
test_binary=$1

begin_script
write_program_settings ""

# The test is cut short well before ctest's limit so that trayer and the
# display are still taken down.
run_with_tray "$work" timeout -k 5 90 "$test_binary"
