#!/usr/bin/env python3
"""The staged Setup.exe with artwork whose headers read but whose pixels are
damaged, run under Wine: the first paint fails, so the launcher prints its
failure line and ends with status 1, having started the companion that Load
asked for first. Run through tests/with-wine.sh.

  damaged_artwork.py WINE STAGE DEFLATED_ARTWORK ARTWORK_BMP WORK"""
import os
import shutil
import struct
import subprocess
import sys

wine, stage, deflated, bmp, work = sys.argv[1:6]
shutil.rmtree(work, ignore_errors=True)
shutil.copytree(stage, work)
exe = os.path.join(work, "Setup.exe")
with open(exe, "rb") as f:
    image = bytearray(f.read())
with open(deflated, "rb") as f:
    at = image.find(f.read())
with open(bmp, "rb") as f:
    head = f.read(54)
assert at > 0, "the artwork resource is in Setup.exe"
# A stored block holding the BMP headers, then a block of the reserved type.
damaged = bytes([0]) + struct.pack("<HH", len(head), len(head) ^ 0xFFFF) + head + bytes([7])
image[at:at + len(damaged)] = damaged
with open(exe, "wb") as f:
    f.write(image)

log = os.path.join(work, "standins.log")
env = dict(os.environ, KVD_STANDIN_LOG="Z:" + log.replace("/", "\\"))
run = subprocess.run([wine, exe], env=env, capture_output=True, text=True, errors="replace", timeout=60)
started = open(log, encoding="utf-8").read() if os.path.exists(log) else ""
line = "FrmSetup: unhandled run-time error: artwork: damaged picture data"
checks = [(run.returncode == 1, "exit status %d is 1" % run.returncode),
          (line in run.stderr, "prints '%s'" % line),
          ("data1.exe" in started, "data\\data1.exe, asked for by Load, started before the end")]
for ok, what in checks:
    print(("  ok " if ok else "FAIL ") + what)
if not all(ok for ok, _ in checks):
    sys.exit(run.stderr[-2000:])
shutil.rmtree(work, ignore_errors=True)
