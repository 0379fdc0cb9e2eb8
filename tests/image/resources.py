#!/usr/bin/env python3
"""Checks the compiled resources of the setup image against the resource table of the setup program.

Reads the .rsrc section of the image and checks dialog 107 (header and every control in template order),
the string table, icon group 104, the scrambled banner text 112, the version resource and that every
resource is U.S. English. A typo in setup/resources/setup.rc or strings.rc makes one of these checks fail.

Usage: resources.py [IMAGE]   (default: dist/image/setup.exe)
Prints one line per failed check and ends with "resources: N passed, N failed"; exit status 1 on a failure.
"""
import os
import re
import struct
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BANNER_TEXT = os.path.join(ROOT, "setup", "resources", "banner.txt")

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16
SCRAMBLED_TYPE = "AFXBIN1"
US_ENGLISH = 0x0409

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_DISABLED = 0x80000000, 0x40000000, 0x10000000, 0x08000000
WS_CAPTION, WS_BORDER, WS_SYSMENU, WS_VSCROLL = 0x00C00000, 0x00800000, 0x00080000, 0x00200000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT, DS_CENTER = 0x80, 0x40, 0x800
BS_TYPEMASK, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON = 0xF, 0, 1, 3, 9
BS_PUSHLIKE = 0x1000
CBS_TYPEMASK, CBS_DROPDOWNLIST, CBS_SORT = 0x3, 0x3, 0x100
SS_TYPEMASK, SS_LEFT, SS_CENTER, SS_RIGHT, SS_ICON, SS_BLACKFRAME = 0x1F, 0, 1, 2, 3, 7
SS_SIMPLE, SS_LEFTNOWORDWRAP = 0xB, 0xC
ES_AUTOHSCROLL, ES_NUMBER = 0x80, 0x2000
UDS_ARROWKEYS = 0x20
TCS_MULTILINE, TCS_FIXEDWIDTH, TCS_OWNERDRAWFIXED = 0x200, 0x400, 0x2000

ORDINAL_CLASSES = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox", 0x84: "scrollbar",
                   0x85: "combobox"}

# Control kinds: the window class and, over a mask of its style bits, the values the kind allows.
KINDS = {
    "push button": ("button", BS_TYPEMASK | BS_PUSHLIKE, {BS_PUSHBUTTON}),
    "default push button": ("button", BS_TYPEMASK | BS_PUSHLIKE, {BS_DEFPUSHBUTTON}),
    "radio button": ("button", BS_TYPEMASK | BS_PUSHLIKE, {BS_AUTORADIOBUTTON}),
    "push-like radio button": ("button", BS_TYPEMASK | BS_PUSHLIKE, {BS_AUTORADIOBUTTON | BS_PUSHLIKE}),
    "check box": ("button", BS_TYPEMASK | BS_PUSHLIKE, {BS_AUTOCHECKBOX}),
    "list": ("combobox", CBS_TYPEMASK | CBS_SORT | WS_VSCROLL, {CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL}),
    "label": ("static", SS_TYPEMASK, {SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP}),
    "black frame": ("static", SS_TYPEMASK, {SS_BLACKFRAME}),
    "icon": ("static", SS_TYPEMASK, {SS_ICON}),
    "edit field": ("edit", ES_AUTOHSCROLL | WS_BORDER | ES_NUMBER, {ES_AUTOHSCROLL | WS_BORDER}),
    "spinner": ("msctls_updown32", UDS_ARROWKEYS, {UDS_ARROWKEYS}),
    "tab strip": ("systabcontrol32", TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | TCS_MULTILINE,
                  {TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | TCS_MULTILINE}),
}

FLAG_BITS = {"visible": WS_VISIBLE, "disabled": WS_DISABLED, "group": WS_GROUP, "tabstop": WS_TABSTOP}

# Dialog 107 in template order, which is also the keyboard order: ID, kind, text (an int is a resource
# ordinal), rectangle in dialog units, and the window flags that are set (every other flag is clear).
# The directory field 1030 comes before the tab strip 1000: under Wine a control that follows the strip
# in the template lies beneath it and was not drawn; its tab stop is therefore the last one. Every control a
# person can change is a tab stop; each radio set starts a group, and so does the control after it.
DIALOG_CONTROLS = [
    (1041, "push-like radio button", "Printer/Font Defaults", (262, 89, 66, 11), "group tabstop"),
    (1042, "push-like radio button", "Sorting Defaults", (262, 103, 66, 11), ""),
    (1043, "push-like radio button", "File display defaults", (262, 117, 66, 11), ""),
    (1047, "push-like radio button", "Folder display def.", (262, 131, 66, 11), ""),
    (1046, "push-like radio button", "Backdrop settings", (262, 145, 66, 11), ""),
    (1, "default push button", "Install", (81, 194, 50, 14), "visible disabled group tabstop"),
    (3, "push button", "Uninstall", (155, 194, 50, 14), "tabstop"),
    (2, "push button", "Cancel", (225, 194, 50, 14), "visible tabstop"),
    (1006, "radio button", "Pick printer every time", (46, 54, 83, 9), "group tabstop"),
    (1004, "radio button", "Use default printer", (46, 65, 71, 9), ""),
    (1005, "radio button", "Use this printer", (46, 76, 71, 9), ""),
    (1007, "radio button", "Pick font every time", (44, 111, 76, 9), "group tabstop"),
    (1009, "radio button", "Use this font", (44, 122, 71, 9), ""),
    (1019, "list", "", (58, 134, 99, 52), "group tabstop"),
    (1020, "list", "", (60, 87, 99, 97), "group tabstop"),
    (1029, "push button", "Change", (48, 49, 47, 12), "tabstop"),
    (1032, "label", "Size", (161, 134, 13, 10), "group"),
    (1031, "edit field", "", (180, 132, 26, 12), "tabstop"),
    (1035, "black frame", "", (7, 166, 342, 13), "visible disabled"),
    (1037, "icon", 104, (7, 87, 20, 20), "visible disabled"),
    (1036, "spinner", "Spin1", (340, 145, 9, 14), "disabled"),
    (1044, "check box", "Sort folders by", (45, 75, 60, 11), "tabstop"),
    (1045, "check box", "Sort files by", (45, 55, 53, 11), "tabstop"),
    (1053, "push button", "Ascending", (219, 74, 55, 12), "tabstop"),
    (1062, "label", "order", (240, 56, 21, 10), "group"),
    (1054, "list", "", (110, 74, 86, 55), "tabstop"),
    (1063, "label", "in", (168, 56, 11, 9), "group"),
    (1055, "push button", "Ascending", (182, 55, 55, 12), "tabstop"),
    (1064, "label", "order", (279, 75, 21, 10), "group"),
    (1057, "radio button", "Normal. No additional information is displayed", (44, 63, 156, 11), "group tabstop"),
    (1058, "radio button", "Enhanced. Show", (44, 75, 68, 11), ""),
    (1059, "list", "", (119, 75, 61, 50), "group tabstop"),
    (1060, "label", "File sizes are displayed in", (43, 110, 82, 11), "group disabled"),
    (1061, "list", "", (124, 109, 75, 59), "tabstop disabled"),
    (1065, "check box", "Choose settings at print time", (42, 147, 105, 10), "tabstop"),
    (1066, "check box", "Choose settings at print time", (41, 147, 104, 10), "tabstop"),
    (1067, "push button", "Do not", (44, 63, 31, 12), "tabstop"),
    (1068, "label", "print the backdrop", (79, 64, 71, 10), "group"),
    (1069, "check box", "Choose settings at print time", (47, 100, 110, 10), "tabstop"),
    (1070, "label", "in", (201, 76, 13, 9), "group"),
    (1056, "list", "", (101, 55, 64, 55), "tabstop"),
    (1071, "radio button", "Normal. No additional information is displayed", (44, 63, 160, 11), "group tabstop"),
    (1072, "radio button", "Enhanced. Show", (44, 78, 71, 11), ""),
    (1073, "list", "", (115, 76, 84, 50), "group tabstop"),
    (1074, "label", "Folder sizes are displayed in", (45, 121, 88, 11), "group disabled"),
    (1075, "list", "", (141, 120, 75, 59), "tabstop disabled"),
    (1076, "check box", "Choose settings at print time", (40, 147, 109, 10), "tabstop"),
    (1030, "edit field", "", (98, 49, 123, 12), "tabstop"),
    (1000, "tab strip", "Tab1", (37, 7, 296, 154), "visible tabstop"),
]

DIALOG_HEADER = {
    "style": WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT,
    "extended style": 0,
    "rectangle": (0, 0, 356, 215),
    "menu": "",
    "class": "",
    "caption": "",
    "font": (4, 0, 0, 1, "MS Sans Serif"),
}

STRINGS = {
    1: "Welcome",
    2: "Requirements",
    3: "Defaults",
    5: "{center,title,post_linefeed}Welcome to KOVA Setup!{reset}KOVA is a utility that can print directories. "
       "It installs itself as an option that appears when you right-click either a folder or drive."
       "{carriage,pre_linefeed}To begin the installation process, please review any yellow or red tabs that may "
       "be present, then press the \"Install\" button.",
    6: "{reset,post_linefeed}KOVA requires:{carriage}{carriage}1. A printer (I found %d){carriage,pre_linefeed}"
       "2. Sufficient privilege on the system to modify the registry (%s){carriage,pre_linefeed}{pre_linefeed}%s"
       "{carriage,pre_linefeed}%s{carriage,pre_linefeed}%s",
    11: "{reset}Please choose an installation location:",
    12: "Installation",
    13: "Since I didn't find any printers attached to this computer, installation cannot proceed. "
        "Connect a printer and rerun SETUP",
    14: "KOVA has been uninstalled. However, you'll need to remove this SETUP program manually from KOVAs' "
        "installation directory (%s), as well as the installation directory itself should this be appropriate. "
        "I can take you to the directory now (via Explorer) so that you may delete it, or you can deal with this "
        "later.\n\nDo you wish to delete SETUP now?",
    15: "{reset}The settings you indicate here will be used whenever someone tries to print. To change the "
        "displayed category, select the desired section from the buttons in the lower right-hand corner.",
    16: "{center,title,post_linefeed}Welcome back to KOVA Setup{reset}Feel free to modify your defaults or "
        "uninstall the software; an Uninstall button has been provided for that purpose.",
    17: "{reset}KOVA has been installed to %s",
    22: "Since you didn't have enough privilege to modify the registry on this system, you will not be able to "
        "install KOVA or make changes to settings on an installed version.",
    23: "Marrowgallop is a fox!",
    24: "Unable to remove an item from the registry, software not uninstalled! Make sure you have sufficient "
        "privilege to modify the registry.",
    25: "An older version (%s) of KOVA has been found on your system; it has been upgraded to version %s.",
    26: "1.0e",
    27: "KOVA %s Setup",
    28: "Name",
    29: "Size",
    30: "Creation Date",
    31: "Modification Date",
    32: "bytes",
    33: "K",
    34: "Megabytes",
    35: "(Auto)",
    36: "Sort Parameter",
    38: "Ascending",
    39: "Descending",
    40: "Do",
    41: "Do not",
    42: "contained folder count",
    43: "contained file count",
    44: "I'm having some difficulty in removing a previous installation of KOVA from your system. Please make sure "
        "that you have sufficient priviledge to change the registry",
}

# Texts of which only the opening sentences are fixed; the rest is free wording (credits: all of it).
STRING_OPENINGS = {
    20: ("KOVA has been successfully installed and SETUP will now exit.",
         "To use KOVA, simply right-click on a drive or folder and select one of the options under the Print menu."),
    21: (),
    37: ("The version of KOVA being installed (%s) is incompatible with the version of KOVA currently in the system.",),
}

ICON_GROUP_ID = 104
ICON_IMAGES = {(32, 32), (16, 16)}
ICON_COLOURS = 16
DIALOG_ID = 107
BANNER_ID = 112
VERSION_ID = 1
FILE_VERSION = (1, 0, 0, 1)
PRODUCT_VERSION = (1, 0, 0, 1)
VERSION_TABLE = "040904b0"
VERSION_STRINGS = {
    "FileDescription": "Setup",
    "InternalName": "Setup",
    "OriginalFilename": "Setup.exe",
    "ProductVersion": "1, 0, 0, 3",
    "Comments": "Setup for KOVA",
}
TRANSLATION = (0x0409, 0x04B0)


class Failure(Exception):
    pass


# --- Reading the image --------------------------------------------------------------------------------------

def read_resources(image):
    """Returns {(type, name, language): bytes}; type and name are ints or upper-case strings."""
    (pe_offset,) = struct.unpack_from("<I", image, 0x3C)
    if image[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise Failure("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe_offset + 6)
    optional = pe_offset + 24
    if struct.unpack_from("<H", image, optional)[0] != 0x10B:
        raise Failure("not a PE32 image")
    rsrc_rva, rsrc_size = struct.unpack_from("<II", image, optional + 96 + 2 * 8)
    table = optional + optional_size
    layout = [struct.unpack_from("<8xIIII", image, table + 40 * i) for i in range(sections)]

    def file_offset(rva):
        for virtual_size, address, raw_size, raw_offset in layout:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise Failure(f"RVA {rva:#x} lies in no section")

    if not rsrc_size:
        raise Failure("the image has no resources")
    base = file_offset(rsrc_rva)

    def entry_name(value):
        if value & 0x80000000:
            at = base + (value & 0x7FFFFFFF)
            (length,) = struct.unpack_from("<H", image, at)
            return image[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return value

    def directory(at):
        named, numbered = struct.unpack_from("<HH", image, base + at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", image, base + at + 16 + 8 * i)
            yield entry_name(name), target

    resources = {}
    for rtype, types in directory(0):
        for name, names in directory(types & 0x7FFFFFFF):
            for language, leaf in directory(names & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                at = file_offset(rva)
                resources[(rtype, name, language)] = image[at:at + size]
    return resources


class Reader:
    """Reads the little-endian fields of one resource in order."""

    def __init__(self, data, at=0):
        self.data = data
        self.at = at

    def take(self, layout):
        values = struct.unpack_from("<" + layout, self.data, self.at)
        self.at += struct.calcsize("<" + layout)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def text_or_ordinal(self):
        """A string, or an int when the field holds 0xFFFF and an ordinal."""
        if self.data[self.at:self.at + 2] == b"\xff\xff":
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


# --- Parsing the resource formats ---------------------------------------------------------------------------

def parse_dialog(data):
    reader = Reader(data)
    version, signature = reader.take("HH")
    if (version, signature) != (1, 0xFFFF):
        raise Failure("dialog 107 is not an extended template")
    header = {}
    _help, header["extended style"], header["style"], count = reader.take("IIIH")
    header["rectangle"] = reader.take("hhhh")
    header["menu"] = reader.text_or_ordinal()
    header["class"] = reader.text_or_ordinal()
    header["caption"] = reader.text()
    header["font"] = None
    if header["style"] & DS_SETFONT:
        header["font"] = reader.take("HHBB") + (reader.text(),)
    controls = []
    for _ in range(count):
        reader.align()
        _help, extended, style = reader.take("III")
        rectangle = reader.take("hhhh")
        control_id = reader.take("I")
        window_class = reader.text_or_ordinal()
        window_class = ORDINAL_CLASSES.get(window_class, window_class)
        text = reader.text_or_ordinal()
        extra = reader.take("H")
        reader.at += extra
        controls.append({"id": control_id, "class": str(window_class).lower(), "text": text,
                         "rectangle": rectangle, "style": style, "extended style": extended})
    return header, controls


def parse_string_table(resources):
    strings = {}
    for (rtype, bundle, _language), data in resources.items():
        if rtype != RT_STRING:
            continue
        reader = Reader(data)
        for slot in range(16):
            length = reader.take("H")
            if length:
                strings[(bundle - 1) * 16 + slot] = data[reader.at:reader.at + 2 * length].decode("utf-16-le")
            reader.at += 2 * length
    return strings


def parse_version_node(data, at):
    """One node of the version tree: (key, value, children, end offset)."""
    reader = Reader(data, at)
    length, value_length, kind = reader.take("HHH")
    end = at + length
    key = reader.text()
    reader.align()
    if kind == 1:
        value = data[reader.at:reader.at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        reader.at += 2 * value_length
    else:
        value = data[reader.at:reader.at + value_length]
        reader.at += value_length
    children = []
    reader.align()
    while reader.at < end:
        child = parse_version_node(data, reader.at)
        children.append(child[:3])
        reader.at = (child[3] + 3) & ~3
    return key, value, children, end


# --- Checks: each returns a list of differences, empty when the check passes --------------------------------

def describe_style(style):
    return f"{style:#010x}"


def control_differences(expected, actual):
    control_id, kind, text, rectangle, flags = expected
    window_class, mask, allowed = KINDS[kind]
    differences = []
    if actual["class"] != window_class:
        differences.append(f"class {actual['class']!r}, expected {window_class!r}")
    if actual["text"] != text:
        differences.append(f"text {actual['text']!r}, expected {text!r}")
    if actual["rectangle"] != rectangle:
        differences.append(f"rectangle {actual['rectangle']}, expected {rectangle}")
    style = actual["style"]
    if not style & WS_CHILD:
        differences.append("not WS_CHILD")
    wanted = {FLAG_BITS[flag] for flag in flags.split()}
    for name, bit in FLAG_BITS.items():
        if bool(style & bit) != (bit in wanted):
            differences.append(f"{name} is {'set' if style & bit else 'clear'}")
    if style & mask not in allowed:
        differences.append(f"style {describe_style(style)} is no {kind}")
    return differences


def order_differences(order, expected_order):
    for position, (control_id, expected_id) in enumerate(zip(order, expected_order)):
        if control_id != expected_id:
            return [f"control {control_id} at position {position}, expected {expected_id}"]
    if len(order) != len(expected_order):
        return [f"{len(order)} controls, expected {len(expected_order)}"]
    return []


def check_dialog(resources, report):
    data = resources.get((RT_DIALOG, DIALOG_ID, US_ENGLISH))
    if data is None:
        report("dialog 107", ["missing"])
        return
    header, controls = parse_dialog(data)
    header_differences = []
    for field, expected in DIALOG_HEADER.items():
        if header[field] != expected:
            shown = describe_style(header[field]) if field == "style" else repr(header[field])
            header_differences.append(f"{field} {shown}, expected "
                                      f"{describe_style(expected) if field == 'style' else repr(expected)}")
    report("dialog 107 header", header_differences)

    order = [control["id"] for control in controls]
    expected_order = [row[0] for row in DIALOG_CONTROLS]
    report("dialog 107 template order", order_differences(order, expected_order))

    by_id = {control["id"]: control for control in controls}
    for row in DIALOG_CONTROLS:
        actual = by_id.get(row[0])
        report(f"dialog 107 control {row[0]}", ["missing"] if actual is None else control_differences(row, actual))


def check_strings(resources, report):
    strings = parse_string_table(resources)
    for string_id, text in STRINGS.items():
        actual = strings.get(string_id)
        report(f"string {string_id}", [] if actual == text else [f"{actual!r}, expected {text!r}"])
    for string_id, sentences in STRING_OPENINGS.items():
        actual = strings.get(string_id)
        pattern = r"\s+".join(re.escape(sentence) for sentence in sentences) + r"\s*\S"
        fits = actual is not None and re.match(pattern, actual)
        expected = f"text beginning {' '.join(sentences)!r}" if sentences else "a text"
        report(f"string {string_id}", [] if fits else [f"{actual!r}, expected {expected}"])
    outside = sorted(string_id for string_id in strings if not 1 <= string_id <= 44)
    report("string IDs within 1 to 44", [f"strings {outside}"] if outside else [])


def icon_image_differences(resources, size, colours, bits, image_id):
    data = resources.get((RT_ICON, image_id, US_ENGLISH))
    if data is None:
        return [f"icon image {image_id} missing"]
    header_size, width, height, _planes, bit_count = struct.unpack_from("<IiiHH", data)
    if header_size != 40 or (width, height // 2) != size or bit_count != 4:
        return [f"icon image {image_id} is {width}x{height // 2} with {bit_count} bits, expected {size} with 4"]
    if (colours, bits) != (ICON_COLOURS, 4):
        return [f"icon image {image_id} listed with {colours} colours and {bits} bits"]
    return []


def check_icon(resources, report):
    data = resources.get((RT_GROUP_ICON, ICON_GROUP_ID, US_ENGLISH))
    if data is None:
        report("icon group 104", ["missing"])
        return
    reader = Reader(data)
    _reserved, kind, count = reader.take("HHH")
    differences = [] if kind == 1 else [f"group type {kind}"]
    sizes = set()
    for _ in range(count):
        width, height, colours, _reserved, _planes, bits, _size, image_id = reader.take("BBBBHHIH")
        size = (width or 256, height or 256)
        sizes.add(size)
        differences += icon_image_differences(resources, size, colours, bits, image_id)
    if sizes != ICON_IMAGES or count != len(ICON_IMAGES):
        differences.append(f"images {sorted(sizes)}, expected {sorted(ICON_IMAGES)}")
    report("icon group 104", differences)


def check_banner(resources, report):
    block = resources.get((SCRAMBLED_TYPE, BANNER_ID, US_ENGLISH))
    if block is None:
        report("banner resource 112 of type AFXBIN1", ["missing"])
        return
    with open(BANNER_TEXT, "rb") as text_file:
        text = text_file.read()
    text = text[:-2] if text.endswith(b"\r\n") else text[:-1] if text.endswith(b"\n") else text
    differences = []
    length = block[0] + 256 * block[1] if len(block) >= 2 else -1
    if len(block) != length + 3 or block[-1] != 0:
        differences.append(f"{len(block)} bytes, not a block of 2 length bytes, {length} bytes and a zero")
    else:
        plain = bytes(block[i + 2] ^ block[i] for i in range(length))
        if plain != text:
            differences.append(f"unscrambles to {plain!r}, expected {text!r}")
    report("banner resource 112 of type AFXBIN1", differences)


def version_number(high, low):
    return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def check_version(resources, report):
    data = resources.get((RT_VERSION, VERSION_ID, US_ENGLISH))
    if data is None:
        report("version resource", ["missing"])
        return
    key, fixed, children, _end = parse_version_node(data, 0)
    differences = [] if key == "VS_VERSION_INFO" else [f"root key {key!r}"]
    signature = struct.unpack_from("<I", fixed)[0] if len(fixed) == 52 else None
    if signature != 0xFEEF04BD:
        differences.append("no fixed file information")
    else:
        file_high, file_low, product_high, product_low = struct.unpack_from("<IIII", fixed, 8)
        if version_number(file_high, file_low) != FILE_VERSION:
            differences.append(f"file version {version_number(file_high, file_low)}, expected {FILE_VERSION}")
        if version_number(product_high, product_low) != PRODUCT_VERSION:
            differences.append(f"product version {version_number(product_high, product_low)}, "
                               f"expected {PRODUCT_VERSION}")
    blocks = {child[0]: child for child in children}
    tables = blocks.get("StringFileInfo", (None, None, []))[2]
    table_keys = [table[0] for table in tables]
    if table_keys != [VERSION_TABLE]:
        differences.append(f"string tables {table_keys}, expected [{VERSION_TABLE!r}]")
    else:
        strings = {name: value for name, value, _children in tables[0][2]}
        if strings != VERSION_STRINGS:
            differences.append(f"strings {strings}, expected {VERSION_STRINGS}")
    variables = {name: value for name, value, _children in blocks.get("VarFileInfo", (None, None, []))[2]}
    translation = variables.get("Translation", b"")
    expected_translation = struct.pack("<HH", *TRANSLATION)
    if translation != expected_translation:
        differences.append(f"translation {translation.hex()}, expected {expected_translation.hex()}")
    report("version resource", differences)


def check_inventory(resources, report):
    languages = sorted({f"{rtype}/{name}: {language:#06x}" for rtype, name, language in resources
                        if language != US_ENGLISH})
    report("every resource in U.S. English", [", ".join(languages)] if languages else [])
    expected = {(RT_DIALOG, DIALOG_ID), (RT_GROUP_ICON, ICON_GROUP_ID), (SCRAMBLED_TYPE, BANNER_ID),
                (RT_VERSION, VERSION_ID)}
    present = {(rtype, name) for rtype, name, _language in resources}
    extra = sorted(str(resource) for resource in present - expected if resource[0] not in (RT_ICON, RT_STRING))
    report("no other resources", [f"also {', '.join(extra)}"] if extra else [])


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "dist", "image", "setup.exe")
    counts = {"passed": 0, "failed": 0}

    def report(what, differences):
        if differences:
            print(f"    FAIL: {what}: {'; '.join(differences)}")
            counts["failed"] += 1
        else:
            counts["passed"] += 1

    try:
        with open(path, "rb") as image_file:
            resources = read_resources(image_file.read())
    except (OSError, Failure, struct.error) as problem:
        resources = None
        report(f"resources of {path}", [str(problem)])
    for check in (check_dialog, check_strings, check_icon, check_banner, check_version, check_inventory):
        if resources is None:
            break
        try:
            check(resources, report)
        except (OSError, Failure, struct.error, UnicodeDecodeError) as problem:
            report(check.__name__.replace("_", " "), [f"cannot be read: {problem}"])
    print(f"resources: {counts['passed']} passed, {counts['failed']} failed")
    return 1 if counts["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
