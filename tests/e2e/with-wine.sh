#!/usr/bin/env bash
# Runs one command under Wine for the end-to-end tests. When the calling shell
# has not prepared Wine (script/wine-env), prepares it here for this command
# alone and stops what it started afterwards.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

ready=0
if [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  ready=1
fi
if [ "$ready" = 0 ]; then
  # shellcheck source=../../script/wine-env
  source "$root/script/wine-env" || exit 1
fi

# Wine starts helper processes (services, the desktop) on first use that live
# as long as the wine server and keep the output descriptors they were given.
# The command therefore writes to a file, shown afterwards, so that the test
# runner reading our output is never left waiting for those helpers.
out="$(mktemp)"
"$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"

if [ "$ready" = 0 ]; then
  kvd_wine_stop
fi
exit "$status"
