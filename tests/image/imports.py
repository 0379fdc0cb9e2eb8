#!/usr/bin/python3
"""Checks that the setup image imports only libraries on Windows' KnownDLLs list, and none of their
functions that Windows forwards to a library outside it.

Windows takes a KnownDLL from the system directory whatever lies beside the program; any other library
named in the import table, or the delay-load table, would first be looked for in the program's folder,
where a download folder may hold a planted copy. The mingw runtime's own imports count too. So do
forwarded exports: the loader resolves an imported forward before the program's first instruction,
loading the library it forwards to by the search the program has not yet restricted.

Usage: imports.py [IMAGE]   (default: dist/image/setup.exe)
Prints one line per imported library and per refused forward; exit status 1 when one is imported.
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

# Exports of KnownDLLs that current Windows forwards to libraries outside the list: (library, name
# or name prefix ending in "*", where the forward leads).
REFUSED_FORWARDS = [
    ("advapi32.dll", "SystemFunction036", "cryptbase.dll"),  # RtlGenRandom
    ("advapi32.dll", "SystemFunction040", "cryptbase.dll"),  # RtlEncryptMemory
    ("advapi32.dll", "SystemFunction041", "cryptbase.dll"),  # RtlDecryptMemory
    ("advapi32.dll", "Crypt*", "cryptsp.dll"),               # CryptoAPI: CryptAcquireContextA, CryptHashData ...
]


def refused(library, name):
    for refused_library, pattern, target in REFUSED_FORWARDS:
        if library == refused_library and (name == pattern or pattern.endswith("*") and name.startswith(pattern[:-1])):
            return target
    return None


def imported_libraries(path):
    image = pefile.PE(path, fast_load=True)
    image.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BOUND_IMPORT"],
    ])
    tables = (getattr(image, "DIRECTORY_ENTRY_IMPORT", []), getattr(image, "DIRECTORY_ENTRY_DELAY_IMPORT", []),
              getattr(image, "DIRECTORY_ENTRY_BOUND_IMPORT", []))
    functions = {(entry.dll.decode("ascii", "replace").lower(), (symbol.name or b"").decode("ascii", "replace"))
                 for table in tables for entry in table for symbol in getattr(entry, "imports", [])}
    return sorted({library for library, _ in functions}), sorted(functions)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "dist", "image", "setup.exe")
    failed = False
    try:
        libraries, functions = imported_libraries(path)
    except (OSError, pefile.PEFormatError) as problem:
        print(f"FAIL: import table of {path}: {problem}")
        return 1
    for library in libraries:
        if library in KNOWN_DLLS:
            print(f"ok: imports {library}, a KnownDLL")
        else:
            print(f"FAIL: imports {library}, which is no KnownDLL")
            failed = True
    for library, pattern, target in REFUSED_FORWARDS:
        print(f"refuses: {library} {pattern}, forwarded to {target}")
    for library, name in functions:
        target = refused(library, name)
        if target:
            print(f"FAIL: imports {library} {name}, which Windows forwards to {target}, no KnownDLL")
            failed = True
    if not libraries:
        print("FAIL: the image imports nothing: the import table was not read")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
