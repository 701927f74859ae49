#!/usr/bin/env bash
# Gives the Wine prefix the places the fault matrix runs media from, then
# runs the command given: D: a drive whose root holds media, E: a drive of
# CD-ROM type, and the share \\kvdserver\media.
set -euo pipefail
base="$WINEPREFIX/drive_c/kvd-fault-drives"
mkdir -p "$base/d" "$base/cd" "$base/unc" "$WINEPREFIX/dosdevices/unc/kvdserver"
ln -sfn "$base/d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$base/cd" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$base/unc" "$WINEPREFIX/dosdevices/unc/kvdserver/media"
wine reg add 'HKLM\Software\Wine\Drives' /v 'e:' /d cdrom /f </dev/null >/dev/null 2>&1 || true
exec "$@"
