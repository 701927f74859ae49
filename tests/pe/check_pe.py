#!/usr/bin/env python3
"""Checks the shipped Setup.exe as a file: what Windows reads from its headers
and resources before any of our code runs.

    check_pe.py <Setup.exe> <version, e.g. 1.0.0.0>

It holds the program to the DLLs that every 32-bit Windows has: it imports
KERNEL32.dll, USER32.dll and GDI32.dll and nothing else, no C library DLL.
It also holds the program to the oldest system it is for, Windows 2000 SP4
(the floor): the header's versions, every import on the reviewed list of
what that system exports (tools/floor/windows2000-exports.txt) and of what
Windows 95 exports (windows95-exports.txt: Setup.exe also starts on 95, 98
and Me), every name
looked up at run time on the reviewed list of those (run-time-functions.txt),
and no thread-local storage, delayed imports or C run-time start-up code.

Prints one line per check and exits 0 when all pass, 1 otherwise.
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "pe-flags"))
from pe_flags import checksum  # noqa: E402

# The whole program, with the artwork at 1x and at 2x.
MAX_SIZE = 256 * 1024
# The program itself, without its resources (the artwork may be replaced by a
# larger one) and without a vendor's signature (whose size is that of the
# vendor's certificates): 63.5 KB now, built without exceptions and the
# unwinder.
MAX_PROGRAM = 64 * 1024
DIR_SECURITY = 4  # the certificate table: in the file, never loaded
MACHINE_I386 = 0x14C
SUBSYSTEM_WINDOWS_GUI = 2
FILE_REMOVABLE_RUN_FROM_SWAP = 0x0400
FILE_NET_RUN_FROM_SWAP = 0x0800
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
RT_VERSION = 16
RT_MANIFEST = 24

# The DLLs the program imports, each of them and no other: the three that
# every 32-bit Windows has, from 95 as first released on. No C library DLL
# (msvcrt.dll is missing from the first releases of Windows 95); the rest
# the launcher loads at run time, where it finds them.
IMPORTED_DLLS = ("KERNEL32.dll", "USER32.dll", "GDI32.dll")
FLOOR_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "floor")
# Windows 2000 is NT 5.0: it refuses a program whose header asks for more.
FLOOR_VERSION = (5, 0)
DIR_TLS = 9
DIR_DELAY_IMPORT = 13
# What the C run-time's start-up code brings: its sections (the TLS and
# initialiser tables) and the calls it makes for a program's arguments.
STARTUP_SECTIONS = {".tls", ".CRT"}
STARTUP_IMPORTS = {"__getmainargs", "__wgetmainargs", "__p__fmode", "__p__commode", "_initterm", "_amsg_exit"}
# A C string in the program's data that could name a function for GetProcAddress.
LOOKUP_NAME = re.compile(rb"(?<=\0)[A-Z][A-Za-z0-9_]{3,}(?=\0)")
# The manifest's elements and attributes, each documented by Microsoft for
# application manifests (Windows XP's side-by-side loader refuses a program
# whose manifest it cannot read); "documented" names the page.
MANIFEST_ELEMENTS = {
    "assembly": {"manifestVersion"},
    "assemblyIdentity": {"type", "name", "version", "processorArchitecture", "publicKeyToken", "language"},
    "dependency": set(), "dependentAssembly": set(),
    # Not loadFrom, which is not documented: the launcher's own code keeps
    # DLLs in System32, and on Windows nothing else is loaded before it runs.
    "file": {"name", "hashalg", "hash"},
    "trustInfo": set(), "security": set(), "requestedPrivileges": set(),
    "requestedExecutionLevel": {"level", "uiAccess"},
    "compatibility": set(), "application": set(), "supportedOS": {"Id"},
    "windowsSettings": set(), "dpiAware": set(), "dpiAwareness": set(),
}
RUNTIME_DLL = re.compile(r"libstdc\+\+|libgcc|libwinpthread", re.I)


class PeError(Exception):
    pass


class Pe:
    """The few parts of a 32-bit PE image the checks need."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, sections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != 0x10B:
            raise PeError("optional header magic 0x%x is not PE32" % self.magic)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        os_major, os_minor, _, _, sub_major, sub_minor = struct.unpack_from("<6H", data, opt + 40)
        self.os_version, self.subsystem_version = (os_major, os_minor), (sub_major, sub_minor)
        count = struct.unpack_from("<I", data, opt + 92)[0]
        self.directories = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(count)]
        self.sections = []
        table = opt + opt_size
        for i in range(sections):
            name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"), vaddr, max(vsize, raw_size), raw_ptr))

    def offset(self, rva):
        for _, vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise PeError("address 0x%x lies in no section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imports(self):
        return list(self.imported_functions())

    def imported_functions(self):
        """{dll: [function names, "#n" for an import by ordinal]}"""
        rva, size = self.directory(1)
        found = {}
        if not rva:
            return found
        at = self.offset(rva)
        while True:
            desc = struct.unpack_from("<IIIII", self.data, at)
            if not any(desc):
                return found
            functions = found.setdefault(self.cstring(desc[3]), [])
            thunk = self.offset(desc[0] or desc[4])
            while struct.unpack_from("<I", self.data, thunk)[0]:
                entry = struct.unpack_from("<I", self.data, thunk)[0]
                functions.append("#%d" % (entry & 0xFFFF) if entry & 0x80000000 else self.cstring(entry + 2))
                thunk += 4
            at += 20

    def data_strings(self):
        """Identifier-like C strings in the initialised data sections."""
        found = set()
        for name, _, size, raw in self.sections:
            if name in (".data", ".rdata") and raw:
                found.update(m.decode("ascii") for m in LOOKUP_NAME.findall(self.data[raw:raw + size]))
        return found

    def resources(self):
        """{(type, name): bytes} for every resource; ids are ints, names strings."""
        root_rva, _ = self.directory(2)
        found = {}
        if not root_rva:
            return found
        root = self.offset(root_rva)

        def entries(table):
            named, ids = struct.unpack_from("<HH", self.data, table + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
                if ident & 0x80000000:
                    at = root + (ident & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    ident = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield ident, target

        for rtype, t in entries(root):
            for name, n in entries(root + (t & 0x7FFFFFFF)):
                if not n & 0x80000000:
                    continue
                for _, leaf in entries(root + (n & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, root + leaf)
                    start = self.offset(data_rva)
                    found[(rtype, name)] = self.data[start:start + size]
        return found


def fixed_versions(version_block):
    at = version_block.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", version_block, at + 8)
    return (file_ms, file_ls), (product_ms, product_ls)


def string_value(version_block, key):
    """The value of a StringFileInfo entry, read as the UTF-16 text after its key."""
    text = version_block.decode("utf-16-le", "replace")
    at = text.find(key + "\0")
    if at < 0:
        return None
    rest = text[at + len(key) + 1:].lstrip("\0")
    return rest.split("\0", 1)[0]


def read_table(name):
    """The rows of one of the reviewed lists: fields split at "|", comments dropped."""
    with open(os.path.join(FLOOR_DIR, name), encoding="utf-8") as f:
        lines = (line.split("#", 1)[0].strip() for line in f)
        return [[field.strip() for field in line.split("|")] for line in lines if line]


def manifest_undocumented(text):
    """The manifest's elements and attributes not in MANIFEST_ELEMENTS."""
    try:
        root = ElementTree.fromstring(text.encode("utf-8"))
    except ElementTree.ParseError as e:
        return ["unreadable XML (%s)" % e]
    found = []
    for element in root.iter():
        name = element.tag.rsplit("}", 1)[-1]
        allowed = MANIFEST_ELEMENTS.get(name)
        if allowed is None:
            found.append("<%s>" % name)
        else:
            found += ["%s@%s" % (name, a) for a in element.attrib if a.rsplit("}", 1)[-1] not in allowed]
    return found


def check_floor(pe, expect):
    for what, seen in (("subsystem", pe.subsystem_version), ("OS", pe.os_version)):
        expect(seen <= FLOOR_VERSION, "%s version %d.%02d is one Windows 2000 starts (at most %d.%02d)"
               % ((what,) + seen + FLOOR_VERSION))
    exported = {(dll.lower(), function) for dll, function, _ in read_table("windows2000-exports.txt")}
    imports = pe.imported_functions()
    newer = ["%s!%s" % (dll, f) for dll, functions in imports.items() for f in functions
             if (dll.lower(), f) not in exported]
    expect(not newer, "every import is one Windows 2000 SP4 exports" + (" (not: %s)" % ", ".join(newer) if newer else ""))
    # Windows 95, 98 and Me load the program only if each import exists there,
    # and of the Unicode functions they implement only a few; the rest are stubs.
    win95 = {(dll.lower(), function): source for dll, function, source in read_table("windows95-exports.txt")}
    stubs = ["%s!%s" % (dll, f) for dll, functions in imports.items() for f in functions
             if (dll.lower(), f) in exported and win95.get((dll.lower(), f)) not in (("unicode95",) if f.endswith("W") else ("win95", "unicode95", "crt"))]
    expect(not stubs, "every import is one Windows 95 exports, its Unicode ones among those 95 implements"
           + (" (not: %s)" % ", ".join(stubs) if stubs else ""))
    reviewed = {function for _, function, _, _ in read_table("run-time-functions.txt")}
    imported = {f for functions in imports.values() for f in functions}
    unlisted = sorted(pe.data_strings() - reviewed - imported)
    expect(not unlisted, "every name looked up at run time is on the reviewed list"
           + (" (not: %s)" % ", ".join(unlisted) if unlisted else ""))
    expect(pe.directory(DIR_TLS) == (0, 0), "no thread-local storage directory")
    expect(pe.directory(DIR_DELAY_IMPORT) == (0, 0), "no delay-import directory")
    startup = sorted({name for name, _, _, _ in pe.sections} & STARTUP_SECTIONS | imported & STARTUP_IMPORTS)
    expect(not startup, "no C run-time start-up code" + (" (%s)" % ", ".join(startup) if startup else ""))


def check(path, version):
    results = []
    numbers = [int(n) for n in version.split(".")]
    fixed_version = (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3])

    def expect(ok, what):
        results.append((bool(ok), what))

    with open(path, "rb") as f:
        data = f.read()
    try:
        pe = Pe(data)
    except (PeError, struct.error, ValueError) as e:
        return [(False, "%s is a readable PE image (%s)" % (path, e))]

    expect(pe.machine == MACHINE_I386, "32-bit x86 image (machine 0x%x)" % pe.machine)
    expect(pe.subsystem == SUBSYSTEM_WINDOWS_GUI, "window program, no console (subsystem %d)" % pe.subsystem)
    expect(len(data) <= MAX_SIZE, "size %d bytes is at most %d" % (len(data), MAX_SIZE))
    resources = sum(size for name, _, size, _ in pe.sections if name == ".rsrc")
    signature = pe.directory(DIR_SECURITY)[1] if len(pe.directories) > DIR_SECURITY else 0
    program = len(data) - resources - signature
    expect(program <= MAX_PROGRAM,
           "size without resources and signature %d bytes is at most %d" % (program, MAX_PROGRAM))
    expect(pe.dll_characteristics & DLL_NX_COMPAT, "marked compatible with no-execute data (NX_COMPAT)")
    expect(pe.dll_characteristics & DLL_DYNAMIC_BASE, "may be loaded at any address (DYNAMIC_BASE)")
    expect(pe.characteristics & FILE_REMOVABLE_RUN_FROM_SWAP, "runs from swap when started from removable media")
    expect(pe.characteristics & FILE_NET_RUN_FROM_SWAP, "runs from swap when started from a network share")
    checksum_offset = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64
    expect(struct.unpack_from("<I", data, checksum_offset)[0] == checksum(data, checksum_offset),
           "header checksum matches the file (also after signing)")

    imports = pe.imports()
    expect(imports, "imports read: " + ", ".join(imports))
    extra = [n for n in imports if n.lower() not in {d.lower() for d in IMPORTED_DLLS}]
    missing = [d for d in IMPORTED_DLLS if d.lower() not in {n.lower() for n in imports}]
    expect(not extra and not missing and len(imports) == len(IMPORTED_DLLS),
           "imports %s and no other DLL" % ", ".join(IMPORTED_DLLS)
           + (" (also: %s)" % ", ".join(extra) if extra else "") + (" (not: %s)" % ", ".join(missing) if missing else ""))
    runtime = [n for n in imports if RUNTIME_DLL.search(n)]
    expect(not runtime, "needs no compiler run-time DLL" + (" (%s)" % ", ".join(runtime) if runtime else ""))

    check_floor(pe, expect)

    resources = pe.resources()
    manifest = resources.get((RT_MANIFEST, 1))
    expect(manifest is not None, "has an application manifest (resource 24, id 1)")
    text = manifest.decode("utf-8", "replace") if manifest else ""
    undocumented = manifest_undocumented(text) if manifest else []
    expect(not undocumented, "manifest has only documented elements and attributes"
           + (" (not: %s)" % ", ".join(undocumented) if undocumented else ""))
    expect(re.search(r'requestedExecutionLevel[^>]*level="asInvoker"', text), "manifest asks for no elevation (asInvoker)")
    expect(re.search(r"<dpiAware[^>]*>\s*true", text, re.I), "manifest declares DPI awareness (dpiAware)")
    expect(re.search(r"<dpiAwareness[^>]*>[^<]*PerMonitor", text), "manifest declares per-monitor DPI awareness")
    expect(re.search(r'<assemblyIdentity[^>]*version="%s"' % re.escape(version), text),
           "manifest names version %s" % version)

    versions = [block for (rtype, _), block in resources.items() if rtype == RT_VERSION]
    fixed = fixed_versions(versions[0]) if versions else None
    expect(fixed is not None, "has a version resource")
    if fixed:
        expect(fixed[0] == fixed_version, "file version is %s (%08x %08x)" % ((version,) + fixed[0]))
        expect(fixed[1] == fixed_version, "product version is %s (%08x %08x)" % ((version,) + fixed[1]))
        for key in ("FileVersion", "ProductVersion"):
            value = string_value(versions[0], key)
            expect(value == version, "%s text is %s (%r)" % (key, version, value))
    return results


def report(subject, results):
    """Prints one line per check and a summary; the exit status: 0 when all pass."""
    for ok, what in results:
        print(("  ok " if ok else "FAIL ") + what)
    failed = sum(1 for ok, _ in results if not ok)
    print("%s: %d of %d checks failed" % (subject, failed, len(results)))
    return 1 if failed else 0


def main(argv):
    if len(argv) != 3 or not re.fullmatch(r"\d+\.\d+\.\d+\.\d+", argv[2]):
        print(__doc__, file=sys.stderr)
        return 2
    return report(argv[1], check(argv[1], argv[2]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
