#!/usr/bin/env python3
"""The delivery checks must fail on a module built wrong.

Reads the real built module once, makes sure the checks pass on it, then
damages what objdump showed of it in one way at a time (an export renamed,
a runtime DLL imported, the Japanese version block gone, ...) and makes
sure the checks then fail, naming what they found.

Usage: check_module_test.py --objdump OBJDUMP --allow imports.allow
                            --version 1.2.3 qel_caller.qel
"""

import argparse
import os
import re
import struct
import sys
import tempfile

import check_module


def utf16(text):
    return text.encode("utf-16-le")


def replace_once(text, old, new):
    if old not in text:
        raise AssertionError("the real module shows no %r to damage" % (old,))
    return text.replace(old, new, 1)


def regex_once(text, pattern, new):
    changed, count = re.subn(pattern, new, text, count=1, flags=re.MULTILINE)
    if count != 1:
        raise AssertionError("the real module shows nothing matching %r to damage" % pattern)
    return changed


def add_import(dll, lines):
    """A new block of the import table, shown before the first export line."""
    def damage(headers):
        block = "\n\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n%s\n" % (
            dll, "\n".join("\t%04x\t  %s" % (0x5400 + i, line) for i, line in enumerate(lines)))
        return replace_once(headers, "\nThere is an export table", block + "\nThere is an export table")
    return damage


def add_to_dll(dll, line):
    def damage(headers):
        return regex_once(headers, r"(DLL Name: %s\n\tvma:[^\n]*\n)" % re.escape(dll),
                          r"\g<1>\t5400\t  %s\n" % line)
    return damage


def fixed_field(index, value):
    """Sets one 32-bit field of the version resource's fixed information."""
    def damage(rsrc):
        at = rsrc.find(struct.pack("<I", check_module.VERSION_SIGNATURE))
        if at < 0:
            raise AssertionError("the real module has no fixed version information")
        return rsrc[:at + 4 * index] + struct.pack("<I", value) + rsrc[at + 4 * index + 4:]
    return damage


def bytes_once(old, new):
    def damage(rsrc):
        if old not in rsrc:
            raise AssertionError("the real module's resources hold no %r to damage" % old)
        return rsrc.replace(old, new, 1)
    return damage


def mojibake(rsrc):
    """The Japanese description as it reads when its UTF-8 source is taken
    for another code page: no Japanese script left, same length."""
    out = bytearray(rsrc)
    found = False
    for at in range(0, len(out) - 1, 2):
        unit = struct.unpack_from("<H", out, at)[0]
        if 0x3040 <= unit <= 0x30FF or 0x4E00 <= unit <= 0x9FFF:
            struct.pack_into("<H", out, at, 0x00C3)
            found = True
    if not found:
        raise AssertionError("the real module's resources hold no Japanese text")
    return bytes(out)


# What is damaged, how, and a piece of the message that must name it.
HEADER_CASES = [
    ("64-bit file", lambda h: replace_once(h, "file format pei-i386", "file format pei-x86-64"),
     "not a 32-bit x86 PE file"),
    ("not a DLL", lambda h: regex_once(h, r"^(Characteristics [^\n]*\n(?:\t[^\n]*\n)*?)\tDLL\n", r"\1"),
     "not marked as a DLL"),
    ("console subsystem", lambda h: regex_once(h, r"^Subsystem\s+00000002", "Subsystem\t\t00000003"),
     "subsystem 3 (Windows console)"),
    ("module named .dll", lambda h: regex_once(h, r"^(Name\s+[0-9a-f]+) qel_caller\.qel$", r"\1 qel_caller.dll"),
     "names the module 'qel_caller.dll'"),
    ("export missing", lambda h: regex_once(h, r"^\t\[\s*3\] qel_caller_property\n", ""),
     "exports are [get_plugin_info @1, qel_caller @2, qel_caller_initialize @3]"),
    ("decorated export name", lambda h: regex_once(h, r"^(\t\[\s*0\]) get_plugin_info$", r"\1 get_plugin_info@12"),
     "get_plugin_info@12 @1"),
    ("ordinals from 2", lambda h: regex_once(h, r"^Ordinal Base(\s+)1$", r"Ordinal Base\g<1>2"),
     "qel_caller_property @5"),
    ("extra export", lambda h: regex_once(h, r"^(\t\[\s*3\] qel_caller_property\n)", r"\1\t[   4] DllMain@12\n"),
     "DllMain@12 @5"),
    ("gcc runtime DLL", add_import("libgcc_s_dw2-1.dll", ["  12  __udivdi3"]),
     "imports MinGW runtime DLL libgcc_s_dw2-1.dll"),
    ("C++ runtime DLL", add_import("libstdc++-6.dll", ["  40  _Znwj"]),
     "imports MinGW runtime DLL libstdc++-6.dll"),
    ("threads runtime DLL", add_import("libwinpthread-1.dll", ["  30  pthread_mutex_lock"]),
     "imports MinGW runtime DLL libwinpthread-1.dll"),
    ("C runtime DLL", add_import("msvcrt.dll", ["  700  memcpy"]),
     "imports C runtime DLL msvcrt.dll"),
    ("universal C runtime", add_import("api-ms-win-crt-heap-l1-1-0.dll", ["  1  malloc"]),
     "imports C runtime DLL api-ms-win-crt-heap-l1-1-0.dll"),
    ("unlisted DLL", add_import("ADVAPI32.dll", ["  500  RegOpenKeyExA"]),
     "imports DLL ADVAPI32.dll, which"),
    ("unlisted function", add_to_dll("USER32.dll", "  100  MessageBoxA"),
     "USER32.dll!MessageBoxA"),
    ("function by ordinal", add_to_dll("WINMM.DLL", "  17  <none>"),
     "WINMM.DLL!#17"),
    ("no version resource", lambda h: regex_once(h, r"Entry: ID: 0x000010,", "Entry: ID: 0x000011,"),
     "0 version resources (type 16) found"),
]

RESOURCE_CASES = [
    ("Japanese block gone", bytes_once(utf16("041104B0"), utf16("040704B0")),
     "no Japanese string block 041104B0"),
    ("English block gone", bytes_once(utf16("040904B0"), utf16("040704B0")),
     "no English (United States) string block 040904B0"),
    ("Japanese not translated", bytes_once(b"\x11\x04\xb0\x04", b"\x07\x04\xb0\x04"),
     "VarFileInfo Translation lists"),
    ("Japanese read as Latin-1", mojibake, "has no Japanese characters"),
    ("product renamed", bytes_once(utf16("ProductName\0\0qel_caller"), utf16("ProductName\0\0qel_callex")),
     "ProductName is 'qel_callex'"),
    ("debug build", fixed_field(7, 1), "file flags 0x1"),
    ("made as a program", fixed_field(9, 1), "the file type is 1"),
    ("made for 16-bit Windows", fixed_field(8, 0x00000001), "the file's OS is 0x1"),
    ("no fixed information", bytes_once(struct.pack("<I", check_module.VERSION_SIGNATURE), b"\0\0\0\0"),
     "no fixed file information"),
]


def damaged_allowlist(allowlist, transform):
    with open(allowlist, encoding="utf-8") as source:
        text = source.read()
    handle, path = tempfile.mkstemp(suffix=".allow", text=True)
    with os.fdopen(handle, "w", encoding="utf-8") as target:
        target.write(transform(text))
    return path


ALLOWLIST_CASES = [
    ("allowlist lacks an import",
     lambda t: regex_once(t, r"^WINMM\.dll!sndPlaySoundA .*\n", ""), "WINMM.DLL!sndPlaySoundA"),
    ("allowlist line without its oldest Windows",
     lambda t: regex_once(t, r"^(USER32\.dll!EndDialog)\s+.*$", r"\1"), "USER32.dll!EndDialog"),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--allow", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("module")
    arguments = parser.parse_args()
    real = check_module.read_module(arguments.objdump, arguments.module)
    problems = []

    baseline = check_module.check_module(real, arguments.allow, arguments.version)
    if baseline.failures:
        problems.append("the real module fails the checks, so damage proves nothing: "
                        + " | ".join(baseline.failures))

    cases = []
    for name, damage, expected in HEADER_CASES:
        cases.append((name, lambda d=damage: check_module.Module(
            real.name, d(real.headers), real.rsrc_start, real.rsrc), arguments.allow,
            arguments.version, expected))
    for name, damage, expected in RESOURCE_CASES:
        cases.append((name, lambda d=damage: check_module.Module(
            real.name, real.headers, real.rsrc_start, d(real.rsrc)), arguments.allow,
            arguments.version, expected))
    for name, transform, expected in ALLOWLIST_CASES:
        cases.append((name, lambda: real, damaged_allowlist(arguments.allow, transform),
                      arguments.version, expected))
    major, minor, patch = (arguments.version.split(".") + ["0", "0"])[:3]
    other_version = "%s.%s.%d" % (major, minor, int(patch) + 1)
    cases.append(("version not the project's", lambda: real, arguments.allow, other_version,
                  "the project's is %s.0" % other_version))

    for name, make, allowlist, version, expected in cases:
        try:
            report = check_module.check_module(make(), allowlist, version)
            problem = check_module.judge_damage(name, report.failures, expected)
        except AssertionError as error:
            problem = "%s: %s" % (name, error)
        if problem:
            problems.append(problem)
        if allowlist != arguments.allow:
            os.unlink(allowlist)

    return check_module.summarize_damage(problems, len(cases), "modules")


if __name__ == "__main__":
    sys.exit(main())
