#!/usr/bin/env bash
# Runs one command of the tests under Wine: `with-wine.sh COMMAND...`.
#
# Inside a CTest run the display and Wine fixtures have prepared both and
# noted the display and the Wine for the tests in the session file
# (script/wine-env); a shell that sourced script/wine-env has prepared both
# in its environment. Otherwise (a test started by hand, or
# CTest listing the GoogleTest cases before any fixture runs) Wine is
# prepared here for this command alone and stopped afterwards.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

outer_ready="${KVD_WINE_READY:-}"
# shellcheck source=../script/wine-lib
source "$root/script/wine-lib"
kvd_wine_settings "$(kvd_wine_kind)"
own=0
if [ -n "$outer_ready" ] && _kvd_display_answers "${DISPLAY:-}"; then
  :
elif ! kvd_session_load; then
  kvd_wine_start || exit 1
  own=1
fi

# Wine starts helper processes (services, the desktop) on first use that live
# as long as the wine server and keep the output descriptors they were given.
# The command therefore writes to files, shown afterwards, so that the test
# runner reading our output is never left waiting for those helpers.
out="$(mktemp)"
err="$(mktemp)"
"$@" </dev/null >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"

if [ "$own" = 1 ]; then
  kvd_wine_stop
fi
exit "$status"
