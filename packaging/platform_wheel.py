#!/usr/bin/env python3
"""A platform wheel from the pure one: the same module with native libraries
inside the package (libkalpo.so.4 or kalpo.dll beside __init__.py, the
virtual printer's libraries in kalpo/virtual-printer/), tagged for the
platform, its RECORD made anew, every time SOURCE_DATE_EPOCH.

    packaging/platform_wheel.py PURE_WHEEL OUT_FOLDER PLATFORM_TAG FILE=NAME_IN_WHEEL...
"""
import base64
import hashlib
import os
import sys
import time
import zipfile


def digest(data: bytes) -> str:
    return "sha256=" + base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()


def main() -> int:
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    pure, out, platform = sys.argv[1:4]
    stamp = time.gmtime(max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800))[:6]
    with zipfile.ZipFile(pure) as wheel:
        files = {name: wheel.read(name) for name in wheel.namelist()}
    info = next(name.split("/")[0] for name in files if name.endswith(".dist-info/WHEEL"))
    for pair in sys.argv[4:]:
        source, name = pair.split("=", 1)
        with open(source, "rb") as data:
            files[name] = data.read()
    files[f"{info}/WHEEL"] = "".join(
        "Root-Is-Purelib: false\n" if line.startswith("Root-Is-Purelib:") else
        f"Tag: py3-none-{platform}\n" if line.startswith("Tag:") else line
        for line in files[f"{info}/WHEEL"].decode().splitlines(keepends=True)).encode()
    record = f"{info}/RECORD"
    files.pop(record, None)
    # The package first, its dist-info last, RECORD at the very end.
    names = sorted(files, key=lambda n: (n.startswith(info), n))
    files[record] = ("".join(f"{n},{digest(files[n])},{len(files[n])}\n" for n in names) + f"{record},,\n").encode()
    names.append(record)
    target = os.path.join(out, os.path.basename(pure).replace("-any.whl", f"-{platform}.whl"))
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as wheel:
        for name in names:
            entry = zipfile.ZipInfo(name, stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            wheel.writestr(entry, files[name])
    return 0


if __name__ == "__main__":
    sys.exit(main())
