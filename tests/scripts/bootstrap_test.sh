#!/usr/bin/env bash
# script/bootstrap's decisions, with stand-ins for apt-get, dpkg and
# dpkg-query on the PATH: what it installs, what it says and its exit status
# when the package mirror is in sync, when 32-bit Wine cannot be had and when
# a package the build needs cannot be installed, and where 32-bit Wine's
# files are taken from the package registry instead.
set -uo pipefail
bootstrap="$(cd "$(dirname "$0")/../.." && pwd)/script/bootstrap"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pass=0 fail=0

# The stand-ins keep their state in $FAKE: installed (one package a line),
# calls (every apt-get call), updates (how many updates ran); with all,
# every package counts as installed.
mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE/calls"
case "$*" in
  *update*)
    n=$(( $(cat "$FAKE/updates" 2>/dev/null || echo 0) + 1 )); echo "$n" >"$FAKE/updates"
    if [ "$n" -le "$UPDATE_FAILS" ]; then
      echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  *install*)
    for p in "$@"; do
      case " $REFUSE " in *" $p "*) echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;; esac
    done
    for p in "$@"; do case "$p" in -*|install) ;; *) echo "$p" >>"$FAKE/installed" ;; esac; done ;;
  *download*)
    [ "$DOWNLOAD" = ok ] || { echo "E: Can't find a source to download version '8.0' of 'wine32:i386'"; exit 100; }
    for p in "$@"; do case "$p" in -*|download) ;; *) touch "${p%%[:=]*}.deb" ;; esac; done ;;
esac
STANDIN
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
case "$*" in *Version*) printf '8.0'; exit 0 ;; esac
{ [ -f "$FAKE/all" ] || grep -qx "${!#}" "$FAKE/installed" 2>/dev/null; } && printf 'install ok installed'
STANDIN
cat >"$work/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case "$1" in
  --print-foreign-architectures) cat "$FAKE/arches" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$FAKE/arches" ;;
  -x) mkdir -p "$3/usr/lib/wine" && touch "$3/usr/lib/wine/$(basename "$2" .deb)" ;;
esac
STANDIN
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

# One case: its name, the packages installed before, updates that fail,
# packages that refuse to install, whether wine32 failed within the hour,
# whether the registry hands out packages to download;
# then the expected exit status, a text the output must hold ('' for none),
# a text it must not hold, and packages that must be installed afterwards.
case_() {
  local name="$1" before="$2" fails="$3" refuse="$4" stamp="$5" download="$6"
  local want_status="$7" want_text="$8" not_text="$9" want_installed="${10}"
  export FAKE="$work/$name" UPDATE_FAILS="$fails" REFUSE="$refuse" DOWNLOAD="$download"
  mkdir -p "$FAKE/state"
  [ "$before" = all ] && touch "$FAKE/all" && before=""
  printf '%s\n' $before >"$FAKE/installed"
  [ "$stamp" = stamp ] && touch "$FAKE/state/bootstrap-wine32-failed"
  local out status
  out="$(PATH="$work/bin:$PATH" KVD_APT_RETRY_DELAY=0 KVD_BOOTSTRAP_STATE="$FAKE/state" bash "$bootstrap" 2>&1)"
  status=$?
  local why=""
  [ "$status" = "$want_status" ] || why="exit status $status, not $want_status"
  [ -z "$want_text" ] || grep -qF -- "$want_text" <<<"$out" || why="$why; no \"$want_text\""
  [ -z "$not_text" ] || ! grep -qF -- "$not_text" <<<"$out" || why="$why; says \"$not_text\""
  for p in $want_installed; do grep -qx "$p" "$FAKE/installed" || why="$why; $p not installed"; done
  if [ -z "$why" ]; then
    pass=$((pass + 1)); echo "ok   $name"
  else
    fail=$((fail + 1)); echo "FAIL $name: ${why#; }"; sed 's/^/     | /' <<<"$out"
  fi
}

#     name                  before  fails refuse               stamp  download status text                                   not text               installed afterwards
case_ nothing-missing       all     0     ""                   -      ok    0      ""                                     "installing"           ""
case_ fresh-machine         ""      0     ""                   -      ok    0      "installing cmake"                     "warning"              "cmake wine64 nsis wine32:i386"
case_ update-fails-once     ""      1     ""                   -      ok    0      ""                                     "warning"              "wine64 wine32:i386"
case_ mirror-in-sync        ""      99    "wine32:i386"        -      fails 0      "32-bit Wine could not be installed"   "unpacked"             "cmake wine64 xvfb"
case_ mirror-warns          ""      99    "wine32:i386"        -      fails 0      "Mirror sync in progress"              ""                     ""
case_ needed-pkg-refused    ""      0     "g++-mingw-w64-i686-posix" - ok   1      "could not install what building"      ""                     ""
case_ wine32-asked-recently ""      0     "wine32:i386"        stamp  fails 0      "installing cmake"                     "unpacked"             "cmake"
case_ wine32-taken          ""      99    "wine32:i386"        -      ok    0      "unpacked into"                        "64-bit build"         "cmake wine64"
case_ wine32-not-taken      ""      99    "wine32:i386"        -      fails 0      "nor taken from the package registry"  "unpacked into"        "cmake"
# No update is asked for when only wine32 is missing and failed within the hour.
case_ only-wine32-recent    all     0     ""                   stamp  fails 0      ""                                     ""                     ""
grep -q "wine32:i386" "$FAKE/calls" 2>/dev/null && { fail=$((fail + 1)); echo "FAIL only-wine32-recent: asked apt-get for wine32"; }
# Where apt installs wine32, nothing is downloaded; files taken once are not taken again.
grep -q "download" "$work/fresh-machine/calls" && { fail=$((fail + 1)); echo "FAIL fresh-machine: downloaded packages"; }
[ -f "$work/wine32-taken/state/wine32/root/usr/lib/wine/wine32" ] ||
  { fail=$((fail + 1)); echo "FAIL wine32-taken: wine32 not unpacked into the build folder"; }
FAKE="$work/wine32-taken" UPDATE_FAILS=99 REFUSE="wine32:i386" DOWNLOAD=ok PATH="$work/bin:$PATH" \
  KVD_BOOTSTRAP_STATE="$work/wine32-taken/state" bash "$bootstrap" >/dev/null 2>&1
[ "$(grep -c download "$work/wine32-taken/calls")" = 1 ] || { fail=$((fail + 1)); echo "FAIL wine32-taken: downloaded twice"; }

echo "$pass passed, $fail failed"
[ "$fail" = 0 ]
