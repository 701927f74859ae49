#!/usr/bin/env bash
# The shipped Setup.exe under each Windows it is for, as far as Wine can
# claim one: the install, Cancel, close-while-asking and planted-DLL rows of
# the fault matrix, run once per setting below.
#
#   versions.sh quick|all <e2e_driver.exe> <stage folder> [fallbacks stage folder] [report.md]
#
# quick runs Windows 98 (the ANSI family, code page 936) and Windows 10 in a
# 64-bit prefix (WoW64, as almost every user runs it); all runs every
# setting. Setup.exe alone is told the version (Wine's per-program
# AppDefaults), so the driver and the companions run as they always do.
# Each setting also checks the family of system calls the launcher took:
# its window is ANSI on 95, 98 and Me and Unicode on the NT family. Wine
# keeps every function whatever version it claims: these runs prove the
# behaviour under each version number and the family chosen by it, not that
# a function exists on that system.
#
# The report gets one table row per setting and row; the exit status is the
# number of settings with a failed row.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
scope="$1" driver="$2" stage="$3" fallbacks="${4:--}" report="${5:-}"
rows='plain folder|Cancel, answered OK|close to the window with the question open|planted DLLs'

# name | kind of Wine run | version told to Setup.exe | code page | family | media | in the quick run
settings=(
  "Windows 98: ANSI calls, code page 936|win32|win98|936|ansi|stage|quick"
  "Windows Me: ANSI calls, code page 936|win32|winme|936|ansi|stage|"
  "Windows 2000|win32|win2k||unicode|stage|"
  "Windows XP|win32|winxp||unicode|stage|"
  "Windows 7|win32|win7||unicode|stage|"
  "Windows 10|win32|win10||unicode|stage|"
  "Windows 10, 64-bit (WoW64)|wow64|win10||unicode|stage|quick"
  "every optional function missing|win32|||unicode|fallbacks|"
)

# Code page 936 comes from the Unix locale Wine starts in: zh_CN.UTF-8,
# compiled once into the build folder (nothing is written to the system).
locales="$root/build/locale"
chinese_locale() {
  [ -d "$locales/zh_CN.UTF-8" ] && return 0
  mkdir -p "$locales"
  localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >/dev/null 2>&1 || [ -d "$locales/zh_CN.UTF-8/LC_CTYPE" ]
}

failed=0
table=""
for setting in "${settings[@]}"; do
  IFS='|' read -r name kind version codepage family media quick <<<"$setting"
  [ "$scope" = quick ] && [ -z "$quick" ] && continue
  media_dir="$stage"
  if [ "$media" = fallbacks ]; then
    [ "$fallbacks" != - ] || continue
    media_dir="$fallbacks"
  fi
  out="$(mktemp)"
  part="$(mktemp)"
  (
    export KVD_WINE_ARCH="$kind" KVD_FAMILY="$family" KVD_ROWS="$rows"
    unset KVD_WINE_READY KVD_WINEPREFIX
    if ! "$root/script/wine-runs" "$kind"; then
      echo "FAIL $kind Wine does not run here"
      exit 1
    fi
    # shellcheck source=../../script/wine-lib
    source "$root/script/wine-lib"
    kvd_wine_settings "$kind"
    kvd_wine_path "$kind" >/dev/null || exit 1
    # The display of the test run, else the current one or an Xvfb of this setting's own.
    if kvd_session_load; then unset KVD_XVFB_PID; else unset KVD_XVFB_PID; kvd_display_start || exit 1; fi
    kvd_wine_prepare || exit 1
    key='HKCU\Software\Wine\AppDefaults\Setup.exe'
    if [ -n "$version" ]; then
      wine reg add "$key" /v Version /d "$version" /f </dev/null >/dev/null 2>&1
    fi
    locale=()
    if [ "$codepage" = 936 ]; then
      chinese_locale || { echo "FAIL the zh_CN.UTF-8 locale could not be compiled"; exit 1; }
      locale=(LOCPATH="$locales" LC_ALL=zh_CN.UTF-8 KVD_FAULTS_FOLDER="kvd-faults 媒体")
    fi
    status=0
    env "${locale[@]}" bash "$here/fault-drives.sh" wine "$driver" matrix all "$media_dir" "$part" || status=$?
    wine reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
    # The 32-bit prefix is the one the other tests share; another kind's ends here.
    [ "$kind" = win32 ] || wineserver -k </dev/null >/dev/null 2>&1 || true
    _kvd_stop_xvfb
    exit "$status"
  ) >"$out" 2>&1
  status=$?
  sed "s/^/[$name] /" "$out"
  rows_seen="$(grep '^| ' "$part" 2>/dev/null | tail -n +2)"
  if [ -n "$rows_seen" ]; then
    table+="$(sed "s/^| /| $name | /" <<<"$rows_seen")"$'\n'
  else
    table+="| $name | no report | | | | FAIL: $(grep -m1 FAIL "$out" | sed 's/^FAIL //') |"$'\n'
  fi
  [ "$status" = 0 ] || failed=$((failed + 1))
  rm -f "$out" "$part"
done
if [ -n "$report" ]; then
  printf '| run as | row | media folder | expected | seen | verdict |\n|---|---|---|---|---|---|\n%s' "$table" >"$report"
fi
echo "== versions: $failed setting(s) failed"
exit "$failed"
