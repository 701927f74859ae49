#!/usr/bin/env bash
# Two clean builds of one commit, in two build folders, must give the same
# Setup.exe, ZIP and disc image, byte for byte.
#
#   reproducible.sh <cmake> <source folder> <work folder> <epoch>
set -euo pipefail
cmake="$1" src="$2" work="$3" epoch="$4"

rm -rf "$work"
mkdir -p "$work"
for side in one two; do
  started=$SECONDS
  "$cmake" -S "$src" --preset win32 -B "$work/$side" -DBUILD_TESTING=OFF -DKVD_STAGE_DIR="$work/$side/stage" \
    -DKVD_SOURCE_DATE_EPOCH="$epoch" >"$work/$side.log" 2>&1 &&
    "$cmake" --build "$work/$side" --target media >>"$work/$side.log" 2>&1 ||
    { cat "$work/$side.log"; exit 1; }
  echo "build $side: $((SECONDS - started)) s"
done

status=0
for name in $(cd "$work/one/release" && ls); do
  if cmp -s "$work/one/release/$name" "$work/two/release/$name"; then
    echo "  ok $name: $(stat -c %s "$work/one/release/$name") bytes, the same in both builds"
  else
    echo "FAIL $name differs; first differing bytes (offset, octal values):"
    cmp -l "$work/one/release/$name" "$work/two/release/$name" | head -5
    status=1
  fi
done
cat "$work/one/release/SHA256SUMS"
[ "$status" = 0 ] && rm -rf "$work"
exit "$status"
