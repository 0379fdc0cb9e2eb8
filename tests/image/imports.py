#!/usr/bin/python3
"""Checks that the setup image imports only libraries on Windows' KnownDLLs list.

Windows takes a KnownDLL from the system directory whatever lies beside the program; any other library
named in the import table, or the delay-load table, would first be looked for in the program's folder,
where a download folder may hold a planted copy. The mingw runtime's own imports count too.

Usage: imports.py [IMAGE]   (default: dist/image/setup.exe)
Prints one line per imported library; exit status 1 when one is no KnownDLL.
"""
import os
import sys

import pefile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
    "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}


def imported_libraries(path):
    image = pefile.PE(path, fast_load=True)
    image.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT"],
    ])
    tables = (getattr(image, "DIRECTORY_ENTRY_IMPORT", []), getattr(image, "DIRECTORY_ENTRY_DELAY_IMPORT", []),
              getattr(image, "DIRECTORY_ENTRY_BOUND_IMPORT", []))
    return sorted({entry.dll.decode("ascii", "replace").lower() for table in tables for entry in table})


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "dist", "image", "setup.exe")
    failed = False
    try:
        libraries = imported_libraries(path)
    except (OSError, pefile.PEFormatError) as problem:
        print(f"FAIL: import table of {path}: {problem}")
        return 1
    for library in libraries:
        if library in KNOWN_DLLS:
            print(f"ok: imports {library}, a KnownDLL")
        else:
            print(f"FAIL: imports {library}, which is no KnownDLL")
            failed = True
    if not libraries:
        print("FAIL: the image imports nothing: the import table was not read")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
