#!/usr/bin/env python3
"""The archive checks must fail on an archive packed wrong.

Makes the real release archive with CPack, makes sure the checks pass on
it, then writes damaged copies of it (a file left out, a guide with Unix
line ends, a changelog without this version, ...) and makes sure the checks
fail on each, naming what they found.

Usage: check_archive_test.py --objdump OBJDUMP --allow imports.allow
                             --version 1.2.3 --cpack CPACK
                             --config CPackConfig.cmake --scratch DIR
"""

import argparse
import os
import re
import sys
import zipfile

import check_archive
import check_module


def without(name):
    return lambda entry, data: None if entry.endswith("/" + name) else data


def rewrite(name, change):
    def damage(entry, data):
        if entry.endswith("/" + name):
            return change(data)
        return data
    return damage


def unix_line_ends(data):
    return data.replace(b"\r\n", b"\n")


# What is damaged, how (entry name and bytes -> new bytes, or None to leave
# the entry out), and a piece of the message that must name it.
CASES = [
    ("plug-in left out", without("qel_caller.qel"), "qel_caller.qel is missing"),
    ("stand-in host left out", without("qelhost.exe"), "qelhost.exe is missing"),
    ("Japanese guide left out", without("user-guide.ja.md"), "user-guide.ja.md is missing"),
    ("licence left out", without("LICENSE.txt"), "LICENSE.txt is missing"),
    ("changelog left out", without("CHANGELOG.md"), "CHANGELOG.md is missing"),
    ("picture left out", without("options-ja.png"), "refers to options-ja.png, which is not"),
    ("guide with Unix line ends", rewrite("user-guide.md", unix_line_ends),
     "user-guide.md has lines ending without a carriage return"),
    ("changelog without this version",
     rewrite("CHANGELOG.md", lambda data: re.sub(rb"(?m)^(#+ +)\[?\d+\.\d+\.\d+", rb"\g<1>0.0.0", data)),
     "CHANGELOG.md has no heading for version"),
    ("plug-in of another build", rewrite("qel_caller.qel", lambda data: data.replace(
        "041104B0".encode("utf-16-le"), "040704B0".encode("utf-16-le"))),
     "no Japanese string block 041104B0"),
]


def damaged_copy(source, target, damage, moved_out=False):
    with zipfile.ZipFile(source) as original, \
            zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as copy:
        for info in original.infolist():
            data = damage(info.filename, original.read(info.filename))
            if data is not None:
                copy.writestr(info.filename, data)
        if moved_out:
            copy.writestr("README.txt", b"outside the folder")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--objdump", "--allow", "--version", "--cpack", "--config", "--scratch"):
        parser.add_argument(option, required=True)
    arguments = parser.parse_args()
    real = check_archive.make_archive(arguments.cpack, arguments.config, arguments.scratch,
                                      arguments.version)
    problems = []
    baseline = check_archive.check_archive(real, arguments.objdump, arguments.allow,
                                           arguments.version)
    failures = [failure for _, report in baseline for failure in report.failures]
    if failures:
        problems.append("the real archive fails the checks, so damage proves nothing: "
                        + " | ".join(failures))

    folder = os.path.join(arguments.scratch, "damaged")
    os.makedirs(folder, exist_ok=True)
    name = os.path.basename(real)
    cases = [(case, damage, expected, False, name) for case, damage, expected in CASES]
    cases.append(("entry outside the folder", lambda entry, data: data,
                  "entries outside the folder", True, name))
    cases.append(("archive named for another version", lambda entry, data: data,
                  "expected %s" % name[:-len(".zip")], False,
                  name.replace(arguments.version, arguments.version + ".1")))
    for case, damage, expected, moved_out, file_name in cases:
        case_folder = os.path.join(folder, re.sub(r"\W+", "_", case))
        os.makedirs(case_folder, exist_ok=True)
        path = os.path.join(case_folder, file_name)
        damaged_copy(real, path, damage, moved_out)
        results = check_archive.check_archive(path, arguments.objdump, arguments.allow,
                                              arguments.version)
        failures = [failure for _, report in results for failure in report.failures]
        problem = check_module.judge_damage(case, failures, expected)
        if problem:
            problems.append(problem)
    return check_module.summarize_damage(problems, len(cases), "archives")


if __name__ == "__main__":
    sys.exit(main())
