"""Packs files into a zip that depends on their names and contents alone.

    pack-zip.py ZIP FOLDER NAME...

Each NAME, a file in FOLDER, goes to the zip's root under that name, deflated, with one fixed
time stamp and no extra fields (which would carry the files' times of access and change).
"""
import os
import sys
import zipfile

zip_path, folder, *names = sys.argv[1:]
temporary = zip_path + ".part"
with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(os.path.join(folder, name), "rb") as file:
            archive.writestr(info, file.read())
os.replace(temporary, zip_path)
