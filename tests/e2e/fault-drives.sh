#!/usr/bin/env bash
# Gives the Wine prefix the places the fault matrix runs media from, then
# runs the command given: D: a drive whose root holds media, E: a drive of
# CD-ROM type, and the share \\kvdserver\media.
set -euo pipefail
# shellcheck source=../../script/wine-lib
source "$(dirname "${BASH_SOURCE[0]}")/../../script/wine-lib"
kvd_wine_settings "$(kvd_wine_kind)"
base="$WINEPREFIX/drive_c/kvd-fault-drives"
mkdir -p "$base/d" "$base/cd" "$base/unc" "$WINEPREFIX/dosdevices/unc/kvdserver"
ln -sfn "$base/d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$base/cd" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$base/unc" "$WINEPREFIX/dosdevices/unc/kvdserver/media"
kvd_drive_type e: cdrom
exec "$@"
