#!/usr/bin/env python3
"""Checks of the finished installer executable.

check_installer.py link-check --exe EXE --payload PAYLOAD --crc-header HEADER
                              --product DIR --vornpack VORNPACK [--copy-to PATH]
    Run after every link: the payload lies in the exe unchanged, nothing before
    it holds the marker or ends with the marker's beginning, and vornpack reads
    the exe as the installer will (the first marker opens the payload, the scan
    gives the build's CRC, the ten segments decode to the product files). Prints
    the stub size. On failure the exe is deleted, so the next build links again.

check_installer.py form --exe EXE --payload PAYLOAD --objdump OBJDUMP
    The deliverable's form: PE32 for i686, GUI subsystem, imports from Windows
    system DLLs only; prints the stub size (the exe without its payload).
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys

# Joined here as the installer joins it, so that no file of the project spells it.
MARKER = b"Z" + b"OLT"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
               "advapi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll"}


class CheckFailed(Exception):
    pass


def read(path):
    with open(path, "rb") as f:
        return f.read()


def section_at(exe, offset):
    """Name of the PE section whose raw data holds the file offset, or None."""
    try:
        pe = struct.unpack_from("<I", exe, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", exe, pe + 6)
        table = pe + 24 + optional_size
        for i in range(sections):
            name, raw_size, raw_pointer = struct.unpack_from("<8s8xII", exe, table + 40 * i)
            if raw_pointer <= offset < raw_pointer + raw_size:
                return name.rstrip(b"\0").decode("ascii", "replace")
    except struct.error:
        pass
    return None


def payload_offset(exe, payload):
    """Where the payload starts; fails unless the marker first occurs there."""
    offset = exe.find(payload)
    if offset < 0:
        raise CheckFailed("the payload does not lie in the exe unchanged")
    first = exe.find(MARKER)
    if first != offset:
        raise CheckFailed("the marker occurs at file offset %d (section %s), before the payload at %d: "
                          "the installer would take it for the start of its payload"
                          % (first, section_at(exe, first), offset))
    for length in (1, 2, 3):
        if exe[offset - length:offset] == MARKER[:length]:
            raise CheckFailed("the bytes before the payload end with the marker's first %d character(s): "
                              "the opening marker would not be recognised" % length)
    return offset


def stub_report(exe, payload):
    stub = len(exe) - len(payload)
    return "%d bytes, payload %d bytes, stub %d bytes (aim: below 43,520)" % (len(exe), len(payload), stub)


def link_check(args):
    exe = read(args.exe)
    payload = read(args.payload)
    payload_offset(exe, payload)
    match = re.search(r"PAYLOAD_CRC\s+(0x[0-9A-Fa-f]+)", read(args.crc_header).decode("ascii", "replace"))
    if not match:
        raise CheckFailed("%s does not define PAYLOAD_CRC" % args.crc_header)
    crc = match.group(1)
    run = subprocess.run([args.vornpack, "verify", args.exe, "--crc", crc, "--product", args.product],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if run.returncode != 0:
        raise CheckFailed("vornpack verify failed (exit code %d):\n%s" % (run.returncode, run.stdout))
    print("%s: checked, PAYLOAD_CRC %s, %s" % (os.path.basename(args.exe), crc, stub_report(exe, payload)))
    if args.copy_to:
        os.makedirs(os.path.dirname(args.copy_to), exist_ok=True)
        shutil.copyfile(args.exe, args.copy_to)


def form(args):
    exe = read(args.exe)
    if exe[:2] != b"MZ":
        raise CheckFailed("no MZ header")
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe:pe + 4] != b"PE\0\0":
        raise CheckFailed("no PE signature")
    machine = struct.unpack_from("<H", exe, pe + 4)[0]
    magic = struct.unpack_from("<H", exe, pe + 24)[0]
    subsystem = struct.unpack_from("<H", exe, pe + 24 + 68)[0]
    if machine != 0x14C:
        raise CheckFailed("machine 0x%04X, not i386 (0x014C)" % machine)
    if magic != 0x10B:
        raise CheckFailed("optional header magic 0x%03X, not PE32 (0x10B)" % magic)
    if subsystem != 2:
        raise CheckFailed("subsystem %d, not the Windows GUI (2)" % subsystem)
    dump = subprocess.run([args.objdump, "-p", args.exe], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True)
    if dump.returncode != 0:
        raise CheckFailed("objdump failed:\n" + dump.stdout)
    dlls = re.findall(r"DLL Name:\s*(\S+)", dump.stdout)
    if not dlls:
        raise CheckFailed("objdump shows no imports")
    foreign = sorted({d for d in dlls if d.lower() not in SYSTEM_DLLS})
    if foreign:
        raise CheckFailed("imports from DLLs that are not part of Windows: " + ", ".join(foreign))
    payload_offset(exe, read(args.payload))
    print("%s: PE32 i686 GUI, imports %s" % (os.path.basename(args.exe), ", ".join(sorted(set(dlls)))))
    print("%s: %s" % (os.path.basename(args.exe), stub_report(exe, read(args.payload))))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["link-check", "form"])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--payload", required=True)
    parser.add_argument("--crc-header")
    parser.add_argument("--product")
    parser.add_argument("--vornpack")
    parser.add_argument("--copy-to")
    parser.add_argument("--objdump")
    args = parser.parse_args()
    try:
        if args.mode == "link-check":
            if not (args.crc_header and args.product and args.vornpack):
                parser.error("link-check needs --crc-header, --product and --vornpack")
            link_check(args)
        else:
            if not args.objdump:
                parser.error("form needs --objdump")
            form(args)
    except (CheckFailed, OSError) as failure:
        print("error: %s: %s" % (args.exe, failure), file=sys.stderr)
        if args.mode == "link-check" and os.path.exists(args.exe):
            os.remove(args.exe)
            print("error: %s removed; the installer is not built" % args.exe, file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
