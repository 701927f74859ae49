#!/usr/bin/env bash
# The disc as a user gets it: the disc image's contents (its Joliet names, the
# ones Windows reads) on a Wine drive of CD-ROM type, K:, and the whole OK path
# run from there by the end-to-end driver. Run through tests/with-wine.sh.
#
#   cdrom.sh <wine> <e2e_driver.exe> <disc image> <work folder>
set -euo pipefail
wine="$1" driver="$2" image="$3" work="$4"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../script/wine-lib
source "$root/script/wine-lib"
kvd_wine_settings "$(kvd_wine_kind)"

letter=k:
link="$WINEPREFIX/dosdevices/$letter"
disc="$work/disc"

# Wine's mount manager reads the drives and their types when it starts.
restart_wine() {
  _kvd_stop_wine
  kvd_wine_prepare
}

unmap() {
  kvd_drive_type "$letter" -
  rm -f "$link"
  restart_wine
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}

if [ -e "$link" ] && [ "$(readlink "$link")" != "$disc" ]; then
  echo "cdrom: $link is taken ($(readlink "$link")): not replacing it" >&2
  exit 1
fi
chmod -R u+w "$work" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work"
xorriso -osirrox on -read_fs norock -indev "$image" -extract / "$disc" 2>"$work/xorriso.log" ||
  { cat "$work/xorriso.log" >&2; exit 1; }
trap unmap EXIT
kvd_drive_type "$letter" cdrom
ln -sfn "$disc" "$link"
restart_wine

"$wine" "$driver" cdrom 'K:\'
