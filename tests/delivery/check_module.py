#!/usr/bin/env python3
"""Checks the delivered qel_caller.qel as the host and Windows will see it.

Everything is read from the built file with MinGW's objdump: the export
table (module name, the four exports and their ordinals), the import table
(every DLL and function on the allowlist kept beside this script, no
runtime DLL of the compiler), the subsystem, and the version resource with
its English and Japanese texts.

Usage: check_module.py --objdump OBJDUMP --allow imports.allow
                       --version 1.2.3 qel_caller.qel
Exits with 1, naming what it found, when any check fails.
"""

import argparse
import re
import struct
import subprocess
import sys

MODULE_NAME = "qel_caller.qel"
EXPORTS = ["get_plugin_info", "qel_caller", "qel_caller_initialize", "qel_caller_property"]
SUBSYSTEM_GUI = 2
SUBSYSTEM_NAMES = {1: "native", 2: "Windows GUI", 3: "Windows console"}
RT_VERSION = 16
VERSION_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32 = 0x00040004
VFT_DLL = 2
UNICODE_CODE_PAGE = 1200
LANGUAGES = {0x0409: "English (United States)", 0x0411: "Japanese"}
PRODUCT_NAME = "qel_caller"

# Runtime DLLs of MinGW's compiler: not part of Windows, so a file that
# imports one does not load unless the DLL is installed beside it.
MINGW_RUNTIME_DLL = re.compile(
    r"^(lib(gcc|stdc\+\+|winpthread|ssp|atomic|gomp|quadmath|gfortran)[\w.+-]*\.dll"
    r"|mingwm\d+\.dll)$",
    re.IGNORECASE)
# C runtime DLLs: part of Windows or not, the plug-in links none, so that it
# has no heap and no start-up code of its own inside the host's process.
C_RUNTIME_DLL = re.compile(
    r"^(msvcr[t\d]*\.dll|msvcp\d*\.dll|ucrtbased?\.dll|vcruntime\d*\.dll"
    r"|api-ms-win-crt-[\w-]+\.dll)$",
    re.IGNORECASE)


class Module:
    """What objdump shows of a PE file: the text of `objdump -p` and the
    bytes of its resource section."""

    def __init__(self, name, headers, rsrc_start=0, rsrc=b""):
        self.name = name
        self.headers = headers
        self.rsrc_start = rsrc_start  # address of rsrc[0] in memory, image base included
        self.rsrc = rsrc

    def image_base(self):
        match = re.search(r"^ImageBase\s+([0-9a-fA-F]+)", self.headers, re.MULTILINE)
        return int(match.group(1), 16) if match else None

    def bytes_at(self, rva, size):
        base = self.image_base()
        if base is None:
            return None
        start = base + rva - self.rsrc_start
        if start < 0 or start + size > len(self.rsrc):
            return None
        return self.rsrc[start:start + size]


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            universal_newlines=True, check=False)
    if result.returncode != 0:
        raise RuntimeError("%s failed: %s" % (" ".join(command), result.stderr.strip()))
    return result.stdout


def read_module(objdump, path):
    headers = run([objdump, "-p", path])
    start, data = None, bytearray()
    # A file without resources has no .rsrc section: the dump is then empty.
    dump = subprocess.run([objdump, "-s", "-j", ".rsrc", path], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, universal_newlines=True, check=False)
    for line in dump.stdout.splitlines():
        match = re.match(r"^ ([0-9a-f]{8}) ((?:[0-9a-f]{2,8} ?){1,4})", line)
        if not match:
            continue
        address = int(match.group(1), 16)
        if start is None:
            start = address
        if address - start != len(data):
            break  # a gap: objdump never leaves one inside a section
        data += bytes.fromhex(match.group(2).replace(" ", ""))
    return Module(path, headers, start or 0, bytes(data))


class Report:
    def __init__(self):
        self.failures = []
        self.passes = []

    def check(self, ok, passed, failed):
        if ok:
            self.passes.append(passed)
        else:
            self.failures.append(failed)
        return ok

    def fail(self, message):
        self.failures.append(message)


# --- the file as a whole ---------------------------------------------------

def check_format(module, report):
    match = re.search(r"file format (\S+)", module.headers)
    found = match.group(1) if match else "no file format"
    report.check(found == "pei-i386", "32-bit x86 PE file",
                 "%s is %s, not a 32-bit x86 PE file (pei-i386)" % (module.name, found))


def check_is_dll(module, report):
    match = re.search(r"^Characteristics 0x[0-9a-f]+\n((?:\t.*\n)+)", module.headers,
                      re.MULTILINE)
    flags = [flag.strip() for flag in match.group(1).splitlines()] if match else []
    report.check("DLL" in flags, "marked as a DLL",
                 "%s is not marked as a DLL; its characteristics are %s"
                 % (module.name, ", ".join(flags) or "unreadable"))


def check_subsystem(module, report, expected=SUBSYSTEM_GUI):
    match = re.search(r"^Subsystem\s+([0-9a-fA-F]+)", module.headers, re.MULTILINE)
    if not match:
        report.fail("%s: no Subsystem line in objdump -p" % module.name)
        return
    found = int(match.group(1), 16)
    report.check(found == expected, "subsystem %s" % SUBSYSTEM_NAMES[expected],
                 "%s has subsystem %d (%s), expected %d (%s)"
                 % (module.name, found, SUBSYSTEM_NAMES.get(found, "unknown"), expected,
                    SUBSYSTEM_NAMES[expected]))


# --- exports ---------------------------------------------------------------

def read_exports(module):
    """Returns (module name, ordinal base, {ordinal: name}, unnamed ordinals)."""
    text = module.headers
    name = re.search(r"^Name\s+[0-9a-fA-F]+\s+(\S+)", text, re.MULTILINE)
    base = re.search(r"^Ordinal Base\s+(\d+)", text, re.MULTILINE)
    if not name or not base:
        return None
    base = int(base.group(1))
    table = re.search(r"Export Address Table -- Ordinal Base \d+\n((?:\t\[.*\n)*)", text)
    slots = []
    for line in (table.group(1).splitlines() if table else []):
        slot = re.match(r"\s*\[\s*(\d+)\]", line)
        if slot:
            slots.append(int(slot.group(1)))
    names = {}
    pointers = re.search(r"\[Ordinal/Name Pointer\] Table[^\n]*\n((?:\t\[.*\n)*)", text)
    for line in (pointers.group(1).splitlines() if pointers else []):
        entry = re.match(r"\s*\[\s*(\d+)\]\s+(?:\+base\[\s*(\d+)\]\s+[0-9a-f]+\s+)?(\S+)\s*$", line)
        if entry:
            ordinal = int(entry.group(2)) if entry.group(2) else base + int(entry.group(1))
            names[ordinal] = entry.group(3)
    unnamed = sorted(base + slot for slot in slots if base + slot not in names)
    return name.group(1), base, names, unnamed


def check_exports(module, report):
    exports = read_exports(module)
    if exports is None:
        report.fail("%s has no export table that objdump can read" % module.name)
        return
    name, base, names, unnamed = exports
    report.check(name == MODULE_NAME, "module name %s" % MODULE_NAME,
                 "the export table names the module %r, expected %r" % (name, MODULE_NAME))
    expected = {ordinal: export for ordinal, export in enumerate(EXPORTS, start=1)}
    found = ", ".join("%s @%d" % (export, ordinal) for ordinal, export in sorted(names.items()))
    report.check(names == expected,
                 "exports %s" % found,
                 "exports are [%s], expected [%s]"
                 % (found or "none",
                    ", ".join("%s @%d" % (export, ordinal) for ordinal, export in expected.items())))
    report.check(not unnamed, "no export without a name",
                 "exports by ordinal only: %s" % ", ".join("@%d" % o for o in unnamed))


# --- imports ---------------------------------------------------------------

def read_imports(module):
    """Returns [(dll, function)]; a function imported by ordinal reads '#N'."""
    imports = []
    dll = None
    for line in module.headers.splitlines():
        named = re.match(r"^\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1)
            continue
        if dll is None:
            continue
        if line.startswith("There is an export table") or line.startswith("PE File Base"):
            break
        entry = re.match(r"^\t([0-9a-f]+)\s+(\d+)\s+(\S+)", line)
        if entry:
            function = entry.group(3)
            if function == "<none>":
                function = "#" + entry.group(2)
            imports.append((dll, function))
    return imports


def read_allowlist(path):
    """Returns {('kernel32.dll', 'Function'): 'Windows 95 / NT 3.1'} and the
    lines that do not follow the format."""
    allowed, malformed = {}, []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, start=1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            match = re.match(r"^([\w.+-]+)!(\S+)\s+(Windows .+)$", line)
            if not match:
                malformed.append("%s:%d: %r is not 'DLL!function  Windows <oldest>'"
                                 % (path, number, line))
                continue
            allowed[(match.group(1).lower(), match.group(2))] = match.group(3).strip()
    return allowed, malformed


def check_imports(module, report, allowlist_path):
    allowed, malformed = read_allowlist(allowlist_path)
    for problem in malformed:
        report.fail(problem)
    imports = read_imports(module)
    if not report.check(imports, "%d imported functions" % len(imports),
                        "%s: no imports found in objdump -p; a module that shows a dialog "
                        "and plays sounds imports at least user32 and winmm" % module.name):
        return
    dlls = sorted({dll for dll, _ in imports}, key=str.lower)
    mingw = [dll for dll in dlls if MINGW_RUNTIME_DLL.match(dll)]
    report.check(not mingw, "no MinGW runtime DLL among %s" % ", ".join(dlls),
                 "imports MinGW runtime DLL %s; the module must load as one file on its own"
                 % ", ".join(mingw))
    crt = [dll for dll in dlls if C_RUNTIME_DLL.match(dll)]
    report.check(not crt, "no C runtime DLL",
                 "imports C runtime DLL %s; the module links no C runtime" % ", ".join(crt))
    allowed_dlls = {dll for dll, _ in allowed}
    stray_dlls = [dll for dll in dlls if dll.lower() not in allowed_dlls]
    report.check(not stray_dlls, "every imported DLL is on the allowlist",
                 "imports DLL %s, which %s does not list"
                 % (", ".join(stray_dlls), allowlist_path))
    stray = ["%s!%s" % (dll, function) for dll, function in imports
             if (dll.lower(), function) not in allowed]
    report.check(not stray, "every imported function is on the allowlist",
                 "imports %s, not listed in %s with its oldest Windows"
                 % (", ".join(stray), allowlist_path))


# --- resources -------------------------------------------------------------

def read_resource_directory(module):
    """Returns [(type, name, language, rva, size)] from objdump -p."""
    leaves = []
    path = [None, None, None]
    for line in module.headers.splitlines():
        entry = re.match(r"^[0-9a-f]{3,}( +)Entry: (?:ID: (0x[0-9a-f]+)|name: (.*?)),? Value", line)
        if entry:
            depth = (len(entry.group(1)) - 1) // 2 - 1
            key = int(entry.group(2), 16) if entry.group(2) else entry.group(3)
            if 0 <= depth < 3:
                path[depth] = key
                for deeper in range(depth + 1, 3):
                    path[deeper] = None
            continue
        leaf = re.match(r"^[0-9a-f]{3,} +Leaf: Addr: (0x[0-9a-f]+), Size: (0x[0-9a-f]+)", line)
        if leaf:
            leaves.append((path[0], path[1], path[2], int(leaf.group(1), 16),
                           int(leaf.group(2), 16)))
    return leaves


def parse_version_node(data, at=0):
    """One node of a version resource: (key, value, children, end offset)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    cursor = (key_end + 2 + 3) & ~3
    if kind == 1:  # text: the length counts UTF-16 units, terminator included
        value = data[cursor:cursor + 2 * value_length].decode("utf-16-le").rstrip("\0")
        cursor += 2 * value_length
    else:
        value = data[cursor:cursor + value_length]
        cursor += value_length
    cursor = (cursor + 3) & ~3
    children = []
    while cursor < end:
        child = parse_version_node(data, cursor)
        children.append(child)
        cursor = (child[3] + 3) & ~3
    return key, value, children, end


def read_version(module, report):
    """Returns the parsed version resource, or None after reporting why."""
    versions = [leaf for leaf in read_resource_directory(module) if leaf[0] == RT_VERSION]
    found_types = sorted({str(leaf[0]) for leaf in read_resource_directory(module)})
    if not report.check(len(versions) == 1, "one version resource",
                        "%d version resources (type 16) found; resource types present: %s"
                        % (len(versions), ", ".join(found_types) or "none")):
        return None
    _, _, _, rva, size = versions[0]
    data = module.bytes_at(rva, size)
    if data is None:
        report.fail("the version resource at RVA 0x%x (%d bytes) lies outside .rsrc" % (rva, size))
        return None
    try:
        return parse_version_node(data)
    except (struct.error, UnicodeDecodeError) as error:
        report.fail("the version resource cannot be read: %s" % error)
        return None


def packed_version(version):
    parts = [int(part) for part in version.split(".")] + [0, 0, 0, 0]
    return (parts[0] << 16 | parts[1], parts[2] << 16 | parts[3])


def has_japanese(text):
    return any("\u3040" <= c <= "\u30ff" or "\u4e00" <= c <= "\u9fff" for c in text)


def check_version(module, report, version):
    root = read_version(module, report)
    if root is None:
        return
    key, fixed, children, _ = root
    report.check(key == "VS_VERSION_INFO", "version resource VS_VERSION_INFO",
                 "the version resource's key is %r, expected 'VS_VERSION_INFO'" % key)
    if len(fixed) != 52 or struct.unpack_from("<I", fixed)[0] != VERSION_SIGNATURE:
        report.fail("the version resource has no fixed file information (%d bytes)" % len(fixed))
        return
    (_, _, file_ms, file_ls, product_ms, product_ls, flags_mask, flags, os_kind,
     file_type, _, _, _) = struct.unpack("<13I", fixed)
    wanted = packed_version(version)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    report.check((file_ms, file_ls) == wanted, "file version %s" % dotted(file_ms, file_ls),
                 "the file version is %s, the project's is %s"
                 % (dotted(file_ms, file_ls), dotted(*wanted)))
    report.check((product_ms, product_ls) == wanted,
                 "product version %s" % dotted(product_ms, product_ls),
                 "the product version is %s, the project's is %s"
                 % (dotted(product_ms, product_ls), dotted(*wanted)))
    report.check(flags & flags_mask == 0, "release flags",
                 "file flags 0x%x: a release is marked neither debug nor pre-release"
                 % (flags & flags_mask))
    report.check(os_kind == VOS_NT_WINDOWS32, "made for 32-bit Windows NT",
                 "the file's OS is 0x%x, expected VOS_NT_WINDOWS32 (0x%x)"
                 % (os_kind, VOS_NT_WINDOWS32))
    report.check(file_type == VFT_DLL, "file type DLL",
                 "the file type is %d, expected VFT_DLL (%d)" % (file_type, VFT_DLL))

    blocks = {}
    translations = []
    for child_key, _, grandchildren, _ in children:
        if child_key == "StringFileInfo":
            for table_key, _, strings, _ in grandchildren:
                blocks[table_key.upper()] = {name: value for name, value, _, _ in strings}
        elif child_key == "VarFileInfo":
            for var_key, value, _, _ in grandchildren:
                if var_key == "Translation":
                    translations += [struct.unpack_from("<HH", value, at)
                                     for at in range(0, len(value) - 3, 4)]
    for language in sorted(LANGUAGES):
        block_key = "%04X%04X" % (language, UNICODE_CODE_PAGE)
        label = "%s string block %s" % (LANGUAGES[language], block_key)
        strings = blocks.get(block_key)
        if not report.check(strings is not None, label,
                            "no %s; blocks present: %s"
                            % (label, ", ".join(sorted(blocks)) or "none")):
            continue
        for name, expected in (("FileVersion", version), ("ProductVersion", version),
                               ("ProductName", PRODUCT_NAME),
                               ("OriginalFilename", MODULE_NAME)):
            found = strings.get(name)
            report.check(found == expected, "%s %s %r" % (label, name, found),
                         "%s: %s is %r, expected %r" % (label, name, found, expected))
        description = strings.get("FileDescription", "")
        report.check(description, "%s FileDescription %r" % (label, description),
                     "%s has no FileDescription" % label)
        if language == 0x0411:
            report.check(has_japanese(description),
                         "Japanese description in Japanese script",
                         "%s: the FileDescription %r has no Japanese characters; was the "
                         "UTF-8 source read in another code page?" % (label, description))
        report.check((language, UNICODE_CODE_PAGE) in translations,
                     "Translation lists %s" % label,
                     "VarFileInfo Translation lists %s, not %04x/%d"
                     % (", ".join("%04x/%d" % pair for pair in translations) or "nothing",
                        language, UNICODE_CODE_PAGE))


def check_module(module, allowlist, version):
    report = Report()
    check_format(module, report)
    check_is_dll(module, report)
    check_subsystem(module, report)
    check_exports(module, report)
    check_imports(module, report, allowlist)
    check_version(module, report, version)
    return report


def print_report(title, report):
    for message in report.passes:
        print("ok    %s: %s" % (title, message))
    for message in report.failures:
        print("FAIL  %s: %s" % (title, message))


# --- for the tests of these checks ---------------------------------------

def judge_damage(case, failures, expected):
    """A damaged file must fail with a message naming `expected`: returns
    None when one does (and says so), else what went wrong."""
    matching = [failure for failure in failures if expected in failure]
    if not failures:
        return "%s: the checks passed on a damaged file" % case
    if not matching:
        return "%s: no failure names %r; they read: %s" % (case, expected, " | ".join(failures))
    print("ok    %s: %s" % (case, matching[0]))
    return None


def summarize_damage(problems, count, what):
    for problem in problems:
        print("FAIL  %s" % problem)
    print("%d damaged %s, %d not caught" % (count, what, len(problems)))
    return 1 if problems else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--allow", required=True, help="the import allowlist")
    parser.add_argument("--version", required=True, help="the project's version, e.g. 1.0.0")
    parser.add_argument("module")
    arguments = parser.parse_args()
    report = check_module(read_module(arguments.objdump, arguments.module), arguments.allow,
                          arguments.version)
    print_report(arguments.module, report)
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main())
