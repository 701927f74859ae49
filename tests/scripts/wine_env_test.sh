#!/usr/bin/env bash
# script/wine-lib and the fixtures of script/wine-env, on a copy of the
# scripts with stand-ins for Xvfb, xdpyinfo and Wine that note every call:
# sourcing changes no variable, no file and starts nothing; the session file
# is parsed, never run; the display fixtures start and stop only their own Xvfb.
set -uo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)/script"
work="$(mktemp -d)"
trap 'kill $(cat "$work/pids" 2>/dev/null) 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/repo/script" "$work/bin" "$work/wine-bin"
cp "$src/wine-lib" "$src/wine-env" "$src/wine-loader" "$src/wine-runs" "$work/repo/script/"
for tool in wine wine64 wineserver wineboot; do printf '#!/bin/sh\necho "%s $*" >>"$W/calls"\n' "$tool" >"$work/bin/$tool"; done
# xdpyinfo answers for the displays named in $ANSWERS; Xvfb reports display 42 when ready.
printf '#!/bin/sh\necho "xdpyinfo $*" >>"$W/calls"\ncase " $ANSWERS " in *" $2 "*) exit 0 ;; esac\nexit 1\n' >"$work/bin/xdpyinfo"
printf '#!/bin/bash\necho "Xvfb $*" >>"$W/calls"\necho 42 >&3\nexec 3>&-\nwhile :; do sleep 0.2; done\n' >"$work/bin/Xvfb"
chmod +x "$work/bin/"*
export W="$work" PATH="$work/bin:$PATH" KVD_WINEPREFIX="$work/prefix" KVD_WINE32_ROOT="$work/none"
unset KVD_WINE_ARCH DISPLAY KVD_XVFB_PID
pass=0 fail=0
check() { # name, what went wrong ('' when nothing)
  if [ -z "$2" ]; then pass=$((pass + 1)); echo "ok   $1"; else fail=$((fail + 1)); echo "FAIL $1: $2"; fi
}

# Sourcing: the shell's variables (PATH included) and the files are as before, and nothing ran.
for how in "wine-lib" "wine-env --no-start"; do
  touch "$work/stamp" && sleep 0.01 && rm -f "$work/calls"
  out="$(bash -c 'vars() { declare -p | grep -Ev "^declare -[^ ]+ (BASH_[A-Z_]+|FUNCNAME|PIPESTATUS|_)="; }
    vars >"$W/before"; source "$W/repo/script/"'"$how"'; vars >"$W/after"
    diff "$W/before" "$W/after"' 2>&1)"
  rm -f "$work/before" "$work/after"
  why=""
  [ -z "$out" ] || why="the shell changed: $out"
  [ ! -e "$work/calls" ] || why="$why; ran $(tr '\n' ';' <"$work/calls")"
  written="$(find "$work" -mindepth 1 -newer "$work/stamp" ! -name calls)"
  [ -z "$written" ] || why="$why; wrote $written"
  check "source $how" "${why#; }"
done

# The session file: its name, its lines ('|' for a line break), the displays
# that answer; then what kvd_session_load returns, DISPLAY, KVD_XVFB_PID,
# the folder put first on PATH ('-' for none) and LD_PRELOAD afterwards.
sessions=(
  "fixtures' session|DISPLAY=:7|XVFB_PID=123|WINE_BIN=$work/wine-bin|:7|0 :7 123 $work/wine-bin unset"
  'a command in a value|DISPLAY=$(touch $W/ran)|XVFB_PID=`touch $W/ran`|$(touch $W/ran)|0 $(touch $W/ran) unset - unset'
  "a command after a value|DISPLAY=:7; touch $work/ran|XVFB_PID=1; rm -f $work/victim|:7; touch $work/ran|0 :7; touch $work/ran unset - unset"
  "unknown keys|PATH=/evil|LD_PRELOAD=/evil.so|DISPLAY=:7|BASH_ENV=/evil|:7|0 :7 unset - unset"
  "a relative Wine folder|DISPLAY=:7|WINE_BIN=wine-bin|:7|0 :7 unset - unset"
  "a display that no longer answers|DISPLAY=:9|XVFB_PID=9|:7|1 unset unset - unset"
  "the old sourced form|export DISPLAY=:7 KVD_XVFB_PID=5|:7|1 unset unset - unset"
)
for row in "${sessions[@]}"; do
  IFS='|' read -ra f <<<"$row"
  n=${#f[@]}
  printf '%s\n' "${f[@]:1:n-3}" >"$work/prefix.session"
  rm -f "$work/ran" && touch "$work/victim"
  seen="$(ANSWERS="${f[n-2]}" bash -c 'source "$W/repo/script/wine-lib"; kvd_wine_settings win32; kvd_session_load
    status=$? head="${PATH%%:*}"; [ "$head" = "$W/bin" ] && head=-
    echo "$status ${DISPLAY-unset} ${KVD_XVFB_PID-unset} $head ${LD_PRELOAD-unset}"')"
  want="${f[n-1]}"
  why=""
  [ "$seen" = "$want" ] || why="got \"$seen\", not \"$want\""
  [ ! -e "$work/ran" ] && [ -e "$work/victim" ] || why="$why; a value was run"
  check "session: ${f[0]}" "${why#; }"
done

# The display fixtures: display-up on a display that answers records no Xvfb
# (even one named by the caller); on none it starts one, which display-down
# stops; display-down leaves alone a process that is no Xvfb.
fixture() { KVD_WINE_ARCH=win32 bash "$work/repo/script/wine-env" "$@" 2>/dev/null; }
sleep 60 & echo $! >>"$work/pids"
other=$!
DISPLAY=:7 ANSWERS=:7 KVD_XVFB_PID=$other fixture display-up
check "display-up on an answering display" "$(grep -vx 'DISPLAY=:7' "$work/prefix.session")$(grep -s Xvfb "$work/calls")"
ANSWERS=:42 fixture display-up
xvfb="$(sed -n 's/^XVFB_PID=//p' "$work/prefix.session")"
echo "$xvfb" >>"$work/pids"
why="$(grep -vxE "DISPLAY=:42|XVFB_PID=$xvfb" "$work/prefix.session")"
[ -n "$xvfb" ] && kill -0 "$xvfb" 2>/dev/null || why="$why; no Xvfb running"
fixture display-down
kill -0 "$xvfb" 2>/dev/null && why="$why; display-down left it running"
check "display-up starts an Xvfb, display-down stops it" "${why#; }"
printf 'DISPLAY=:7\nXVFB_PID=%s\n' "$other" >"$work/prefix.session"
fixture display-down
why=""
kill -0 "$other" 2>/dev/null || why="display-down stopped a process that is no Xvfb"
[ ! -e "$work/prefix.session" ] || why="$why; the session file is still there"
check "display-down after an interrupted run" "${why#; }"

echo "$pass passed, $fail failed"
[ "$fail" = 0 ]
