#!/usr/bin/env python3
"""Makes what a vendor ships from the staged media layout: the disc image, the
ZIP and the checksums, the same bytes from every build of one commit.

    make_media.py --stage DIR --work DIR --out DIR --version V --epoch SECONDS
                  [--sign-cert PEM --sign-key PEM] FILE...

FILEs are the media's files, relative to the stage folder. They are copied to
WORK/media with autorun.inf beside them; Setup.exe is signed there when a
certificate and key are given (after the build has set its header flags: a
signed file is never patched). Every date is EPOCH (the commit's time) and
every list is sorted, so the results depend on their contents alone. OUT
receives Setup.exe (as it is on the media), Keyvandor-V-media.zip,
Keyvandor.iso and SHA256SUMS.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time
import zipfile

NAME = "Keyvandor"
VOLUME_LABEL = "KEYVANDOR"
# Read by Windows from the root of the disc: start Setup.exe, show its icon and
# this label, and name the action in the autoplay question. Windows reads the
# file as UTF-16 when it starts with the byte-order mark, which the Chinese
# action needs.
AUTORUN = (
    "[autorun]\r\n"
    "open=Setup.exe\r\n"
    "icon=Setup.exe,0\r\n"
    "label=Keyvandor\r\n"
    "action=安装Keyvandor\r\n"
)
ZIP_EARLIEST = 315532800  # 1980-01-01, the first date a ZIP entry can hold


def sign(path, cert, key, epoch):
    """Signs the program in place with SHA-256; the signing time is the
    commit's, so a signed build is reproducible too."""
    unsigned = path + ".unsigned"
    os.replace(path, unsigned)
    subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-h", "sha256",
                    "-n", NAME + " Setup", "-time", str(epoch), "-in", unsigned, "-out", path],
                   check=True, stdout=subprocess.DEVNULL)
    os.remove(unsigned)


def write_zip(path, tree, names, epoch):
    stamp = time.gmtime(max(epoch, ZIP_EARLIEST))[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, stamp)
            entry.create_system = 0  # MS-DOS: no owner or permission bits of the build machine
            entry.external_attr = 0
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(tree, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


def write_iso(path, tree, epoch):
    # Joliet keeps mixed-case and non-ASCII names for Windows; Rock Ridge with
    # -r records no owner of the build machine. xorriso takes its dates and
    # the volume's identifiers from SOURCE_DATE_EPOCH.
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    stamp = time.strftime("%Y%m%d%H%M%S00", time.gmtime(epoch))
    subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-o", path, "-V", VOLUME_LABEL,
                    "-iso-level", "3", "-J", "-joliet-long", "-r",
                    "--modification-date=" + stamp, "--set_all_file_dates", "set_to_mtime", tree],
                   check=True, env=env, stderr=subprocess.PIPE)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--stage", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--sign-cert", default="")
    parser.add_argument("--sign-key", default="")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    if bool(args.sign_cert) != bool(args.sign_key):
        sys.exit("make_media: a signing certificate needs its key, and a key its certificate")

    tree = os.path.join(args.work, "media")
    shutil.rmtree(args.work, ignore_errors=True)
    for name in args.files:
        os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
        shutil.copyfile(os.path.join(args.stage, name), os.path.join(tree, name))
    if args.sign_cert:
        sign(os.path.join(tree, "Setup.exe"), args.sign_cert, args.sign_key, args.epoch)
    with open(os.path.join(tree, "autorun.inf"), "wb") as f:
        f.write(b"\xff\xfe" + AUTORUN.encode("utf-16-le"))

    names = sorted(args.files + ["autorun.inf"])
    folders = {os.path.dirname(n) for n in names}
    for entry in names + sorted(folders):
        os.utime(os.path.join(tree, entry), (args.epoch, args.epoch))

    zip_name = "%s-%s-media.zip" % (NAME, args.version)
    iso_name = NAME + ".iso"
    out = lambda name: os.path.join(args.out, name)
    os.makedirs(args.out, exist_ok=True)
    for name in ("Setup.exe", zip_name, iso_name, "SHA256SUMS"):
        if os.path.exists(out(name)):
            os.remove(out(name))
    shutil.copyfile(os.path.join(tree, "Setup.exe"), out("Setup.exe"))
    write_zip(out(zip_name), tree, names, args.epoch)
    write_iso(out(iso_name), tree, args.epoch)
    with open(out("SHA256SUMS"), "w", newline="\n") as f:
        for name in sorted(("Setup.exe", zip_name, iso_name)):
            f.write("%s  %s\n" % (sha256(out(name)), name))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except subprocess.CalledProcessError as e:
        sys.exit("make_media: %s failed (status %d)\n%s" % (e.cmd[0], e.returncode,
                                                          (e.stderr or b"").decode("utf-8", "replace")))
