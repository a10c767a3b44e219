#!/usr/bin/env python3
# Writes hostile.zip: an archive whose entries try to leave the folder they are extracted into,
# or to plant a link or a pipe there, beside one harmless entry. Run from this folder:
#   python3 make-hostile.py
# Python's zipfile stores the names below exactly as given.
import zipfile

STAMP = (2006, 3, 5, 15, 4, 6)
UNIX = 3


def entry(name, mode=None):
    info = zipfile.ZipInfo(name, STAMP)
    if mode is not None:
        info.create_system = UNIX
        info.external_attr = mode << 16
    return info


with zipfile.ZipFile("hostile.zip", "w", zipfile.ZIP_STORED) as archive:
    archive.writestr(entry("safe.txt", 0o100644), b"harmless\n")
    archive.writestr(entry("../escaped.txt"), b"climbed out with ..\n")
    archive.writestr(entry("sub/../../deeper.txt"), b"climbed out from a folder\n")
    archive.writestr(entry("/tmp/quilvane-absolute.txt"), b"absolute name\n")
    archive.writestr(entry("C:\\drive.txt"), b"drive letter\n")
    archive.writestr(entry("link.txt", 0o120777), b"/etc/passwd")
    archive.writestr(entry("pipe.txt", 0o010644), b"")
    archive.writestr(entry("folder/", 0o040755), b"")
