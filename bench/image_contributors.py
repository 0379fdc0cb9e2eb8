#!/usr/bin/python3
"""What the setup image is made of: its sections with the room each takes in the file, its largest
resources, and its largest functions and data. The image itself is stripped, so the functions and
data are read from the same link with its symbol table (the setup-symbols target), whose code and
data are laid out alike; a symbol's size is the distance to the next symbol of its section, so
unnamed literals count with the named data before them.
    image_contributors.py IMAGE UNSTRIPPED-IMAGE [COUNT]"""
import subprocess
import sys

import pefile

NM = "i686-w64-mingw32-nm"

RESOURCE_TYPES = {1: "cursor", 2: "bitmap", 3: "icon", 4: "menu", 5: "dialog", 6: "string table", 9: "accelerators",
                  10: "raw data", 14: "icon group", 16: "version", 24: "manifest"}


def sections(image):
    return [(s.Name.rstrip(b"\0").decode(), s.VirtualAddress + image.OPTIONAL_HEADER.ImageBase, s.Misc_VirtualSize,
             s.SizeOfRawData) for s in image.sections]


def resources(image):
    found = []
    directory = getattr(image, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        name = RESOURCE_TYPES.get(kind.id, str(kind.name or kind.id))
        for entry in kind.directory.entries:
            size = sum(language.data.struct.Size for language in entry.directory.entries)
            found.append((size, f"{name} {entry.id if entry.id is not None else entry.name}"))
    return sorted(found, reverse=True)


def short(symbol):
    """The name without its parameter list; the linker's own markers stand for the unnamed data after them."""
    if symbol.endswith("__"):
        return "unnamed data (literals)"
    name = symbol.replace("(anonymous namespace)", "{}").split("(")[0].replace("{}", "(anonymous)")
    return name + (" [clone]" if "[clone" in symbol else "")


def symbols(unstripped, layout):
    listed = subprocess.run([NM, "-n", "-C", unstripped], check=True, capture_output=True, text=True).stdout
    by_section = {}
    for line in listed.splitlines():
        parts = line.split(maxsplit=2)
        if len(parts) != 3 or parts[1] not in "TtRrDdBb" or parts[2].startswith("."):
            continue
        address = int(parts[0], 16)
        for name, start, size, _ in layout:
            if start <= address < start + size:
                by_section.setdefault(name, []).append((address, parts[2]))
    sized = []
    for name, start, size, _ in layout:
        listed = sorted(set(by_section.get(name, [])))
        for (address, symbol), following in zip(listed, listed[1:] + [(start + size, "")]):
            if following[0] > address:
                sized.append((following[0] - address, name, short(symbol)))
    return sorted(sized, reverse=True)


def main():
    image_path, unstripped_path = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 12
    image = pefile.PE(image_path)
    layout = sections(image)
    print("  sections, bytes in the file (bytes in memory): " +
          ", ".join(f"{name} {raw} ({size})" for name, _, size, raw in layout) +
          f"; headers {image.OPTIONAL_HEADER.SizeOfHeaders}")
    print("  largest resources: " + ", ".join(f"{kind} {size}" for size, kind in resources(image)[:6]))
    sized = symbols(unstripped_path, layout)
    for kinds, label in ((".text", "functions"), (".rdata .data .bss", "data")):
        chosen = [entry for entry in sized if entry[1] in kinds.split()][:count]
        print(f"  largest {label}: " + ", ".join(f"{symbol} {size}" for size, _, symbol in chosen))


main()
