#!/usr/bin/env python3
"""Packs a folder into a .tar.gz or a .zip whose bytes depend on the files'
contents alone: names sorted, every time SOURCE_DATE_EPOCH, owner root,
modes 0755 for folders and programs and 0644 for the rest.

    packaging/pack.py tgz|zip FOLDER ARCHIVE    (the archive holds FOLDER's name as its top)
"""
import gzip
import os
import stat
import sys
import tarfile
import time
import zipfile


def entries(folder: str) -> list[str]:
    """Every path below folder's parent, folder first, sorted by name."""
    parent = os.path.dirname(folder)
    found = [folder]
    for root, dirs, files in os.walk(folder):
        found += [os.path.join(root, name) for name in dirs + files]
    return sorted((os.path.relpath(p, parent) for p in found), key=lambda p: p.split(os.sep))


def mode_of(path: str) -> int:
    st = os.lstat(path)
    return 0o755 if stat.S_ISDIR(st.st_mode) or st.st_mode & 0o111 else 0o644


def pack_tgz(folder: str, archive: str, epoch: int) -> None:
    parent = os.path.dirname(folder)
    with open(archive, "wb") as raw, gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=epoch) as packed, \
            tarfile.open(fileobj=packed, mode="w", format=tarfile.GNU_FORMAT) as tar:
        for name in entries(folder):
            info = tar.gettarinfo(os.path.join(parent, name), arcname=name)
            info.mtime, info.uid, info.gid, info.uname, info.gname = epoch, 0, 0, "root", "root"
            if not info.issym():
                info.mode = mode_of(os.path.join(parent, name))
            if info.isfile():
                with open(os.path.join(parent, name), "rb") as data:
                    tar.addfile(info, data)
            else:
                tar.addfile(info)


def pack_zip(folder: str, archive: str, epoch: int) -> None:
    parent = os.path.dirname(folder)
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip's times start in 1980
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        for name in entries(folder):
            path = os.path.join(parent, name)
            directory = os.path.isdir(path)
            info = zipfile.ZipInfo(name.replace(os.sep, "/") + ("/" if directory else ""), stamp)
            info.create_system = 3
            info.external_attr = ((stat.S_IFDIR if directory else stat.S_IFREG) | mode_of(path)) << 16
            if directory:
                out.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as data:
                    out.writestr(info, data.read())


def main() -> int:
    if len(sys.argv) != 4 or sys.argv[1] not in ("tgz", "zip"):
        print(__doc__, file=sys.stderr)
        return 2
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    folder = os.path.abspath(sys.argv[2])
    (pack_tgz if sys.argv[1] == "tgz" else pack_zip)(folder, sys.argv[3], epoch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
