#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on its inputs: entries in the order
given, one fixed date, fixed attributes, no extra fields.

usage: make-zip.py OUT.zip EPOCH NAME=PATH[:crlf] ... [-- OUT.zip NAME=PATH[:crlf] ...]
(each "--" starts another zip with the same date)
"""
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    epoch, rest = int(argv[2]), [argv[1]] + argv[3:]
    # Zip dates are local-time fields without a zone; store the UTC fields.
    # Their range starts in 1980.
    date = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
    while rest:
        cut = rest.index("--") if "--" in rest else len(rest)
        write(rest[0], date, rest[1:cut])
        rest = rest[cut + 1 :]


def write(out, date, entries):
    with zipfile.ZipFile(out, "w") as archive:
        for entry in entries:
            name, _, path = entry.partition("=")
            crlf = path.endswith(":crlf")
            if crlf:
                path = path[: -len(":crlf")]
            with open(path, "rb") as f:
                data = f.read()
            if crlf:
                data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            info = zipfile.ZipInfo(name, date_time=date)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = 0x20  # the archive bit, as Windows sets it
            archive.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
