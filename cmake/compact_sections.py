#!/usr/bin/python3
"""Writes the setup image's linker script: the toolchain's default PE script with the read-only
runtime tables (.CRT initialiser lists, the .tls template) placed inside .rdata instead of in
sections of their own, and without the unwind tables (.eh_frame) of the runtime's objects. Every
section of a PE file is padded to 512 bytes on disk, so each of these few-byte sections would
otherwise cost most of 512 bytes of the image; and the program is built without exceptions, so
nothing ever unwinds through those tables. Only the start and end markers of the unwind table, which
the runtime's start-up code names, stay.

Usage: compact_sections.py LD OUTPUT
"""
import re
import subprocess
import sys


def block(script, name):
    """The whole statement `name BLOCK(...) : { ... }` (or `name : { ... }`, as /DISCARD/ is
    written), and its body."""
    alignment = r"(?: BLOCK\(__section_alignment__\))?"
    match = re.search(r"\n  " + re.escape(name) + alignment + r" :\n  \{\n(.*?)\n  \}\n", script, re.S)
    if not match:
        sys.exit(f"compact_sections: no {name} statement in the default linker script")
    return match.group(0), match.group(1)


def main():
    linker, output = sys.argv[1:3]
    verbose = subprocess.run([linker, "--verbose"], capture_output=True, text=True, check=True).stdout
    script = verbose.split("==================================================")[1]
    eh_frame, eh_frame_body = block(script, ".eh_frame")
    crt, crt_body = block(script, ".CRT")
    tls, tls_body = block(script, ".tls")
    for statement in (eh_frame, crt, tls):
        script = script.replace(statement, "\n")
    rdata, rdata_body = block(script, ".rdata")
    # The TLS template stays at the start of its section: TLS data is addressed relative to it.
    lines = rdata_body.split("\n")
    at = next(i for i, line in enumerate(lines) if "SORT(.rdata$*)" in line) + 1
    # The thread-local initialisers (.CRT$XD*) have no statement of their own; without one they
    # would form a .CRT section again.
    dynamic_tls = "    KEEP (*(SORT(.CRT$XD*)))"
    unwind_markers = "    KEEP(*crtbegin.o(.eh_frame*))\n    KEEP(*crtend.o(.eh_frame*))"
    merged = "\n".join([tls_body, crt_body, dynamic_tls] + lines[:at] + [unwind_markers] + lines[at:])
    script = script.replace(rdata, rdata.replace(rdata_body, merged))
    discard, discard_body = block(script, "/DISCARD/")
    script = script.replace(discard, discard.replace(discard_body, discard_body + "\n     *(.eh_frame*)"))
    with open(output, "w") as out:
        out.write(script)


if __name__ == "__main__":
    main()
