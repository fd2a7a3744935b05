#!/usr/bin/env python3
"""Checks the release archive as a user unpacks it.

The archive `qel_caller-<version>-win32.zip` must hold, in one folder of the
same name: the plug-in (which must pass every module check), the stand-in
host `qelhost.exe` (able to run from there alone), the guides in English and
Japanese, the host author's guide, the licence and the changelog, and
every picture the guides show. The changelog must have an entry for the
version being released.

Usage: check_archive.py --objdump OBJDUMP --allow imports.allow
                        --version 1.2.3 (--archive ZIP | --cpack CPACK
                        --config CPackConfig.cmake --scratch DIR)
With --cpack the archive is first made in DIR. Exits with 1, naming what it
found, when any check fails.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import check_module

TEXTS = ["user-guide.md", "user-guide.ja.md", "host-guide.md", "LICENSE.txt", "CHANGELOG.md"]
PROGRAMS = ["qel_caller.qel", "qelhost.exe"]


def archive_name(version):
    return "qel_caller-%s-win32" % version


def make_archive(cpack, config, scratch, version):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    result = subprocess.run([cpack, "--config", config, "-B", scratch], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, universal_newlines=True, check=False)
    if result.returncode != 0:
        print(result.stdout)
        raise RuntimeError("cpack failed with status %d" % result.returncode)
    return os.path.join(scratch, archive_name(version) + ".zip")


def linked_files(markdown):
    """Relative files a Markdown text links to or shows: [..](file), ![..](file)."""
    targets = re.findall(r"\]\(([^)\s#]+)(?:#[^)]*)?\)", markdown)
    return sorted({target for target in targets if not re.match(r"^[a-z]+:", target)})


def check_archive(path, objdump, allowlist, version):
    """Returns [(title, report)]: the archive's, then one per program in it."""
    report = check_module.Report()
    title = os.path.basename(path)
    results = [(title, report)]
    if not report.check(title == archive_name(version) + ".zip",
                        "file name %s" % title,
                        "the archive is named %s, expected %s.zip"
                        % (title, archive_name(version))):
        return results
    if not report.check(os.path.isfile(path), "archive made", "no archive at %s" % path):
        return results
    folder = archive_name(version) + "/"
    with zipfile.ZipFile(path) as archive:
        names = [name for name in archive.namelist() if not name.endswith("/")]
        outside = [name for name in names if not name.startswith(folder)]
        report.check(not outside, "everything inside %s" % folder,
                     "entries outside the folder %s: %s" % (folder, ", ".join(outside)))
        files = {name[len(folder):]: name for name in names if name.startswith(folder)}
        for wanted in PROGRAMS + TEXTS:
            report.check(wanted in files, "holds %s" % wanted,
                         "%s is missing; the archive holds %s"
                         % (wanted, ", ".join(sorted(files)) or "nothing"))
        for guide in [text for text in TEXTS if text.endswith(".md") and text in files]:
            content = archive.read(files[guide]).decode("utf-8")
            for target in linked_files(content):
                report.check(target in files, "%s shows %s" % (guide, target),
                             "%s refers to %s, which is not in the archive" % (guide, target))
            report.check("\r\n" in content and "\n" not in content.replace("\r\n", ""),
                         "%s has Windows line ends" % guide,
                         "%s has lines ending without a carriage return" % guide)
        if "CHANGELOG.md" in files:
            changelog = archive.read(files["CHANGELOG.md"]).decode("utf-8")
            report.check(re.search(r"^#+ +\[?%s\]?\b" % re.escape(version), changelog,
                                   re.MULTILINE),
                         "changelog has an entry for %s" % version,
                         "CHANGELOG.md has no heading for version %s" % version)
        unpacked = tempfile.mkdtemp(prefix="qel_archive_")
        programs = {}
        for program in PROGRAMS:
            if program in files:
                programs[program] = archive.extract(files[program], unpacked)
    if "qel_caller.qel" in programs:
        results.append(("archive's qel_caller.qel",
                        check_module.check_module(
                            check_module.read_module(objdump, programs["qel_caller.qel"]),
                            allowlist, version)))
    if "qelhost.exe" in programs:
        results.append(("archive's qelhost.exe", check_host(objdump, programs["qelhost.exe"])))
    shutil.rmtree(unpacked, ignore_errors=True)
    return results


def check_host(objdump, path):
    """qelhost.exe runs from the unpacked folder: a 32-bit program that needs
    no runtime DLL of MinGW's compiler (Windows' own msvcrt.dll is fine)."""
    report = check_module.Report()
    host = check_module.read_module(objdump, path)
    check_module.check_format(host, report)
    dlls = sorted({dll for dll, _ in check_module.read_imports(host)}, key=str.lower)
    mingw = [dll for dll in dlls if check_module.MINGW_RUNTIME_DLL.match(dll)]
    report.check(dlls and not mingw, "imports only %s" % ", ".join(dlls),
                 "imports MinGW runtime DLL %s, which is not in the archive"
                 % (", ".join(mingw) or "(no imports found)"))
    return report


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--allow", required=True, help="the plug-in's import allowlist")
    parser.add_argument("--version", required=True)
    parser.add_argument("--archive", help="an archive already made")
    parser.add_argument("--cpack", help="make the archive with this cpack first")
    parser.add_argument("--config", help="CPackConfig.cmake of the build tree")
    parser.add_argument("--scratch", help="folder to make the archive in")
    arguments = parser.parse_args()
    if arguments.archive:
        path = arguments.archive
    elif arguments.cpack and arguments.config and arguments.scratch:
        path = make_archive(arguments.cpack, arguments.config, arguments.scratch,
                            arguments.version)
    else:
        parser.error("give --archive, or --cpack with --config and --scratch")
    results = check_archive(path, arguments.objdump, arguments.allow, arguments.version)
    for title, report in results:
        check_module.print_report(title, report)
    return 1 if any(report.failures for _, report in results) else 0


if __name__ == "__main__":
    sys.exit(main())
