#!/usr/bin/env python3
"""Makes the Windows release zip.
Usage: make_zip.py STRIP TIME README ZIP PROGRAM.exe...
The programs go in stripped, the read-me (UTF-8) as README.txt with a
byte-order mark and CRLF line ends, so that Notepad on any Windows shows it.
Every date in it is TIME (seconds since 1970), so a rebuild gives the same
bytes."""
import os
import subprocess
import sys
import tempfile
import time
import zipfile


def main():
    strip, when, readme, zip_path, programs = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5:]
    members = []
    with tempfile.TemporaryDirectory() as scratch:
        for program in programs:
            stripped = os.path.join(scratch, os.path.basename(program))
            # strip stamps the program's header with SOURCE_DATE_EPOCH.
            subprocess.run([strip, "-o", stripped, program], check=True,
                           env=dict(os.environ, SOURCE_DATE_EPOCH=str(when)))
            with open(stripped, "rb") as f:
                members.append((os.path.basename(program), f.read()))
        with open(readme, encoding="utf-8") as f:
            text = f.read()
        members.append(("README.txt", b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")))

        # Written beside the zip and renamed over it once complete, so a
        # failed run leaves no partial zip.
        part = zip_path + ".part"
        with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
            for name, data in members:
                info = zipfile.ZipInfo(name, time.gmtime(when)[:6])
                info.compress_type = zipfile.ZIP_DEFLATED
                # Made for FAT (MS-DOS) with the archive bit, as Windows' own
                # zips are.
                info.create_system = 0
                info.external_attr = 0x20
                z.writestr(info, data)
        os.replace(part, zip_path)


main()
