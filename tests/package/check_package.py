#!/usr/bin/env python3
"""Checks the release artefacts of the 32-bit build (cmake/Package.cmake).

Usage: check_package.py ZIP SETUP MAKENSIS_LOG SOURCE_DIR
Exit 0 when every check holds; otherwise one line per fault and exit 1.

The zip: exactly mxb.exe, README.md and LICENSE at its top level, README and
LICENSE as in the tree, mxb.exe a PE32 i386 GUI executable. The installer: a
PE32 i386 GUI executable that makensis built without a warning, installing
to Program Files with a Start-menu entry and an uninstaller registered under
Add/Remove Programs (read from makensis's log), carrying the same three
files as the zip (listed and extracted with 7z, which reads NSIS archives).

The PE header is read here (offsets below) and cross-checked with file(1),
which knows the format independently; both must agree. The PE reader is
itself checked on altered copies of mxb.exe, so that it cannot pass
everything.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

# PE layout: "MZ" at 0, the offset of the PE signature at 0x3C; after
# "PE\0\0" the file header (machine u16 at +0, characteristics u16 at +18,
# 20 bytes), then the optional header (magic u16 at +0, subsystem u16 at +68).
MZ_LFANEW = 0x3C
FILE_HEADER_SIZE = 20
MACHINE_I386 = 0x014C
MAGIC_PE32 = 0x010B
SUBSYSTEM_GUI = 2
CHAR_EXECUTABLE = 0x0002
CHAR_DLL = 0x2000
EXPECTED_FILES = ["LICENSE", "README.md", "mxb.exe"]

faults = []


def fault(text):
    faults.append(text)


def pe_facts(data):
    """(machine, magic, subsystem, characteristics) or a text saying why not."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return "no MZ header"
    (pe,) = struct.unpack_from("<I", data, MZ_LFANEW)
    if pe + 4 + FILE_HEADER_SIZE + 70 > len(data) or data[pe:pe + 4] != b"PE\0\0":
        return "no PE signature"
    machine, = struct.unpack_from("<H", data, pe + 4)
    characteristics, = struct.unpack_from("<H", data, pe + 4 + 18)
    opt = pe + 4 + FILE_HEADER_SIZE
    magic, = struct.unpack_from("<H", data, opt)
    subsystem, = struct.unpack_from("<H", data, opt + 68)
    return machine, magic, subsystem, characteristics


def pe32_gui_problem(data):
    """None for a PE32 i386 GUI executable, else what is wrong."""
    facts = pe_facts(data)
    if isinstance(facts, str):
        return facts
    machine, magic, subsystem, characteristics = facts
    if machine != MACHINE_I386:
        return "machine %#06x, not i386" % machine
    if magic != MAGIC_PE32:
        return "optional header magic %#06x, not PE32" % magic
    if subsystem != SUBSYSTEM_GUI:
        return "subsystem %d, not GUI" % subsystem
    if not characteristics & CHAR_EXECUTABLE or characteristics & CHAR_DLL:
        return "characteristics %#06x, not an executable" % characteristics
    return None


def file_says_pe32_gui(path):
    out = subprocess.run(["file", "-b", path], capture_output=True, text=True).stdout
    return re.search(r"PE32 executable \(GUI\) Intel 80386", out) is not None, out.strip()


def check_pe(label, data, path):
    problem = pe32_gui_problem(data)
    if problem:
        fault("%s: %s" % (label, problem))
    ok, said = file_says_pe32_gui(path)
    if not ok:
        fault("%s: file(1) says %r" % (label, said))


def check_pe_reader(exe):
    """The reader must refuse altered copies of a good executable."""
    (pe,) = struct.unpack_from("<I", exe, MZ_LFANEW)
    alterations = {
        "x86-64 machine": (pe + 4, struct.pack("<H", 0x8664)),
        "PE32+ magic": (pe + 4 + FILE_HEADER_SIZE, struct.pack("<H", 0x020B)),
        "console subsystem": (pe + 4 + FILE_HEADER_SIZE + 68, struct.pack("<H", 3)),
        "no PE signature": (pe, b"NE\0\0"),
        "no MZ": (0, b"ZM"),
    }
    for name, (offset, patch) in alterations.items():
        altered = exe[:offset] + patch + exe[offset + len(patch):]
        if pe32_gui_problem(altered) is None:
            fault("the PE reader accepts a copy with %s" % name)


def check_zip(zip_path, source, work):
    with zipfile.ZipFile(zip_path) as z:
        names = sorted(z.namelist())
        if names != EXPECTED_FILES:
            fault("zip holds %s, expected %s" % (names, EXPECTED_FILES))
            return None
        for name in ("README.md", "LICENSE"):
            with open(os.path.join(source, name), "rb") as f:
                if z.read(name) != f.read():
                    fault("zip: %s differs from the tree's" % name)
        exe = z.read("mxb.exe")
    exe_path = os.path.join(work, "zip-mxb.exe")
    with open(exe_path, "wb") as f:
        f.write(exe)
    check_pe("zip mxb.exe", exe, exe_path)
    check_pe_reader(exe)
    return exe


def check_log(log_path, setup_path):
    with open(log_path, encoding="utf-8", errors="replace") as f:
        log = f.read()
    for line in re.findall(r"^\s*(?:warning \d+:.*|\d+ warnings?:.*)$", log, re.M):
        fault("makensis warned: %s" % line.strip())
    expected = [
        r'^Output: ".*%s"$' % re.escape(os.path.basename(setup_path)),
        r'^InstallDir: "\$PROGRAMFILES\\mxb"$',
        r'^WriteUninstaller: "\$INSTDIR\\uninstall\.exe"$',
        r'^CreateShortcut: "\$SMPROGRAMS\\[^"]+\.lnk"->"\$INSTDIR\\mxb\.exe"',
        r'^WriteRegStr: HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\mxb\\'
        r'UninstallString="\$INSTDIR\\uninstall\.exe"$',
        r'^WriteRegStr: HKLM\\.*\\Uninstall\\mxb\\DisplayName=.+$',
        r'^DeleteRegKey: HKLM\\.*\\Uninstall\\mxb$',
    ]
    for pattern in expected:
        if not re.search(pattern, log, re.M):
            fault("makensis log lacks a line like %s" % pattern)


def check_setup(setup_path, zip_exe, work):
    with open(setup_path, "rb") as f:
        check_pe("installer", f.read(), setup_path)
    listing = subprocess.run(["7z", "l", "-ba", setup_path], capture_output=True, text=True)
    if listing.returncode != 0:
        fault("7z cannot list the installer: %s" % listing.stderr.strip())
        return
    listed = {line.split()[-1] for line in listing.stdout.splitlines() if line.strip()}
    for name in EXPECTED_FILES + ["uninstall.exe"]:
        if name not in listed:
            fault("installer does not carry %s (7z lists %s)" % (name, sorted(listed)))
    out = os.path.join(work, "setup")
    subprocess.run(["7z", "x", "-y", "-o" + out, setup_path] + EXPECTED_FILES,
                   capture_output=True, check=False)
    path = os.path.join(out, "mxb.exe")
    if not os.path.exists(path):
        fault("7z could not extract mxb.exe from the installer")
    elif zip_exe is not None and open(path, "rb").read() != zip_exe:
        fault("the installer's mxb.exe differs from the zip's")


def main(argv):
    if len(argv) != 5:
        print(__doc__.split("\n\n")[1])
        return 2
    zip_path, setup_path, log_path, source = argv[1:]
    for tool in ("file", "7z"):
        if shutil.which(tool) is None:
            print("%s is missing (cmake/install-deps.sh installs it)" % tool)
            return 1
    work = os.path.join(os.path.dirname(os.path.abspath(zip_path)), "check-%d" % os.getpid())
    os.makedirs(work)
    try:
        zip_exe = check_zip(zip_path, source, work)
        check_log(log_path, setup_path)
        check_setup(setup_path, zip_exe, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for text in faults:
        print(text)
    if not faults:
        print("zip and installer checked: %s, %s" % (zip_path, setup_path))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
