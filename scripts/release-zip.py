#!/usr/bin/env python3
"""Writes a zip archive whose bytes depend only on the files put into it.

    release-zip.py OUT.zip LIST
    release-zip.py OUT.zip NAME=PATH ...

LIST is a bundle list (release/bundle.list of a release build tree, see
cmake/release.cmake): a first line naming the archive, which is skipped here,
then one "NAME PATH" per line. The entries go in the order given, each dated
SOURCE_DATE_EPOCH (which must be set: scripts/release.sh sets it to the time of
the last commit), with the permissions 0644 (0755 for executables) of a file
made on Unix, compressed with deflate at level 9. Nothing of the machine that
runs it (owner, time zone, folder) gets into the archive.
"""
import os
import sys
import time
import zipfile


def entries(args):
    if len(args) == 1 and "=" not in args[0]:
        with open(args[0], encoding="utf-8") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()][1:]
        return [tuple(line.split(" ", 1)) for line in lines]
    return [tuple(arg.split("=", 1)) for arg in args]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch or not epoch.isdigit():
        sys.exit("release-zip.py: SOURCE_DATE_EPOCH is not set to a time in seconds")
    # Zip stores local dates without a zone; the date of the epoch in UTC is the
    # same wherever the archive is made. Zip cannot store dates before 1980.
    date = max(time.gmtime(int(epoch))[:6], (1980, 1, 1, 0, 0, 0))
    out = sys.argv[1]
    with zipfile.ZipFile(out + ".part", "w") as archive:
        for name, path in entries(sys.argv[2:]):
            info = zipfile.ZipInfo(name, date_time=date)
            info.create_system = 3  # Unix, whose permissions follow
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main()
