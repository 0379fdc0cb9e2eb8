#!/usr/bin/python3
"""Checks the compiled resources of the setup image against the resource table of the setup program.

Reads the image with pefile (Debian's python3-pefile: PE headers, resource tree, string table, version
resource) and checks dialog 107 (header and every control in template order), the string table, icon
group 104, the scrambled banner text 112, the version resource, the application manifest and that every
resource is U.S. English. A typo in setup/resources/setup.rc or strings.rc makes one of these checks fail.

Usage: resources.py [IMAGE]   (default: dist/image/setup.exe)
Prints one line per check; exit status 1 when one failed.
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_CACHE = os.path.join(ROOT, "build", "win32", "CMakeCache.txt")
BANNER_TEMPLATE = os.path.join(ROOT, "setup", "resources", "banner.txt.in")


def configured_version():
    """The KOVA_VERSION build setting the image was made with."""
    with open(BUILD_CACHE, encoding="utf-8") as cache:
        for line in cache:
            if line.startswith("KOVA_VERSION:"):
                return line.split("=", 1)[1].strip()
    raise SystemExit(f"no KOVA_VERSION in {BUILD_CACHE}")


KOVA_VERSION = configured_version()
VERSION_MAJOR, VERSION_MINOR = int(KOVA_VERSION[0]), int(KOVA_VERSION[2])

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 6, 14, 16, 24
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
    26: KOVA_VERSION,
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

# Texts the setup adds after the table above: what it says when it completes work that an earlier
# run did not finish.
ADDED_STRINGS = {
    45: "The last %s of KOVA on this computer did not finish. SETUP will now complete it.",
    46: "installation",
    47: "removal",
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
FILE_VERSION = (VERSION_MAJOR, VERSION_MINOR, 0, 1)
PRODUCT_VERSION = (VERSION_MAJOR, VERSION_MINOR, 0, 1)
VERSION_TABLE = "040904b0"
VERSION_STRINGS = {
    "FileDescription": "Setup",
    "InternalName": "Setup",
    "OriginalFilename": "Setup.exe",
    "ProductVersion": f"{VERSION_MAJOR}, {VERSION_MINOR}, 0, 3",
    "Comments": "Setup for KOVA",
}
TRANSLATION = (0x0409, 0x04B0)

# The application manifest: run as administrator, the systems from Vista to Windows 10 and 11 named, and
# nothing that changes the look of the dialog (common controls 6, DPI awareness).
MANIFEST_ID = 1
EXECUTION_LEVEL = {"level": "requireAdministrator", "uiAccess": "false"}
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


class Failure(Exception):
    pass


# --- Reading the image --------------------------------------------------------------------------------------

def load_image(path):
    """The parsed image; a Failure unless it is a PE32 image for i386 with resources."""
    try:
        image = pefile.PE(path, fast_load=True)
    except pefile.PEFormatError as problem:
        raise Failure(f"not a PE image: {problem}") from problem
    if image.OPTIONAL_HEADER.Magic != pefile.OPTIONAL_HEADER_MAGIC_PE:
        raise Failure("not a PE32 image")
    image.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    if not hasattr(image, "DIRECTORY_ENTRY_RESOURCE"):
        raise Failure("the image has no resources")
    return image


def entry_key(entry):
    return str(entry.name) if entry.name is not None else entry.id


def read_resources(image):
    """Returns {(type, name, language): bytes}; type and name are ints or upper-case strings."""
    resources = {}
    for rtype in image.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in rtype.directory.entries:
            for language in name.directory.entries:
                leaf = language.data.struct
                resources[(entry_key(rtype), entry_key(name), language.id)] = image.get_data(leaf.OffsetToData,
                                                                                          leaf.Size)
    return resources


def read_strings(image):
    """The string table: {string ID: text}, from every bundle pefile decoded."""
    strings = {}
    for rtype in image.DIRECTORY_ENTRY_RESOURCE.entries:
        if rtype.id == RT_STRING:
            for bundle in rtype.directory.entries:
                strings.update(getattr(bundle.directory, "strings", {}))
    return strings


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
    strings = read_strings(resources.image)
    for string_id, text in {**STRINGS, **ADDED_STRINGS}.items():
        actual = strings.get(string_id)
        report(f"string {string_id}", [] if actual == text else [f"{actual!r}, expected {text!r}"])
    for string_id, sentences in STRING_OPENINGS.items():
        actual = strings.get(string_id)
        pattern = r"\s+".join(re.escape(sentence) for sentence in sentences) + r"\s*\S"
        fits = actual is not None and re.match(pattern, actual)
        expected = f"text beginning {' '.join(sentences)!r}" if sentences else "a text"
        report(f"string {string_id}", [] if fits else [f"{actual!r}, expected {expected}"])
    outside = sorted(string_id for string_id in strings
                     if not 1 <= string_id <= 44 and string_id not in ADDED_STRINGS)
    report("string IDs within 1 to 44 and the added ones", [f"strings {outside}"] if outside else [])


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
    with open(BANNER_TEMPLATE, "rb") as text_file:
        text = text_file.read().replace(b"@KOVA_VERSION@", KOVA_VERSION.encode("ascii"))
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
    if (RT_VERSION, VERSION_ID, US_ENGLISH) not in resources:
        report("version resource", ["missing"])
        return
    image = resources.image
    root = image.VS_VERSIONINFO[0].Key.decode("latin-1") if hasattr(image, "VS_VERSIONINFO") else None
    differences = [] if root == "VS_VERSION_INFO" else [f"root key {root!r}"]
    fixed = image.VS_FIXEDFILEINFO[0] if hasattr(image, "VS_FIXEDFILEINFO") else None
    if fixed is None or fixed.Signature != 0xFEEF04BD:
        differences.append("no fixed file information")
    else:
        file_version = version_number(fixed.FileVersionMS, fixed.FileVersionLS)
        product_version = version_number(fixed.ProductVersionMS, fixed.ProductVersionLS)
        if file_version != FILE_VERSION:
            differences.append(f"file version {file_version}, expected {FILE_VERSION}")
        if product_version != PRODUCT_VERSION:
            differences.append(f"product version {product_version}, expected {PRODUCT_VERSION}")
    blocks = {block.Key.decode("latin-1"): block for block in getattr(image, "FileInfo", [[]])[0]}
    tables = getattr(blocks.get("StringFileInfo"), "StringTable", [])
    table_keys = [table.LangID.decode("latin-1") for table in tables]
    if table_keys != [VERSION_TABLE]:
        differences.append(f"string tables {table_keys}, expected [{VERSION_TABLE!r}]")
    else:
        strings = {name.decode("utf-8"): value.decode("utf-8") for name, value in tables[0].entries.items()}
        if strings != VERSION_STRINGS:
            differences.append(f"strings {strings}, expected {VERSION_STRINGS}")
    variables = {}
    for variable in getattr(blocks.get("VarFileInfo"), "Var", []):
        variables.update(variable.entry)
    translation = variables.get(b"Translation", "")
    expected_translation = " ".join(f"{part:#06x}" for part in TRANSLATION)
    if translation != expected_translation:
        differences.append(f"translation {translation!r}, expected {expected_translation!r}")
    report("version resource", differences)


def check_manifest(resources, report):
    data = resources.get((RT_MANIFEST, MANIFEST_ID, US_ENGLISH))
    if data is None:
        report("manifest 1", ["missing"])
        return
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as problem:
        report("manifest 1", [f"not XML: {problem}"])
        return
    elements = list(root.iter())

    def named(local):
        return [element for element in elements if element.tag.rsplit("}", 1)[-1] == local]

    levels = [dict(element.attrib) for element in named("requestedExecutionLevel")]
    report("manifest asks to run as administrator",
           [] if levels == [EXECUTION_LEVEL] else [f"execution levels {levels}, expected [{EXECUTION_LEVEL}]"])
    systems = sorted(element.get("Id", "").lower() for element in named("supportedOS"))
    report("manifest names Vista to Windows 10 and 11",
           [] if systems == sorted(SUPPORTED_OS) else [f"supportedOS {systems}, expected {sorted(SUPPORTED_OS)}"])
    looks = [element.tag.rsplit("}", 1)[-1] for element in elements
             if element.tag.rsplit("}", 1)[-1] in ("dependency", "dpiAware", "dpiAwareness")]
    report("manifest keeps the classic controls and no DPI awareness", [f"has {', '.join(looks)}"] if looks else [])


def check_inventory(resources, report):
    languages = sorted({f"{rtype}/{name}: {language:#06x}" for rtype, name, language in resources
                        if language != US_ENGLISH})
    report("every resource in U.S. English", [", ".join(languages)] if languages else [])
    expected = {(RT_DIALOG, DIALOG_ID), (RT_GROUP_ICON, ICON_GROUP_ID), (SCRAMBLED_TYPE, BANNER_ID),
                (RT_VERSION, VERSION_ID), (RT_MANIFEST, MANIFEST_ID)}
    present = {(rtype, name) for rtype, name, _language in resources}
    extra = sorted(str(resource) for resource in present - expected if resource[0] not in (RT_ICON, RT_STRING))
    report("no other resources", [f"also {', '.join(extra)}"] if extra else [])


class ImageResources(dict):
    """{(type, name, language): bytes} of one image, and the parsed image for what pefile decodes itself."""

    def __init__(self, image):
        super().__init__(read_resources(image))
        self.image = image


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "dist", "image", "setup.exe")
    failed = False

    def report(what, differences):
        nonlocal failed
        if differences:
            print(f"FAIL: {what}: {'; '.join(differences)}")
            failed = True
        else:
            print(f"ok: {what}")

    try:
        resources = ImageResources(load_image(path))
    except (OSError, Failure, pefile.PEFormatError) as problem:
        resources = None
        report(f"resources of {path}", [str(problem)])
    for check in (check_dialog, check_strings, check_icon, check_banner, check_version, check_manifest,
                  check_inventory):
        if resources is None:
            break
        try:
            check(resources, report)
        except (OSError, Failure, struct.error, UnicodeDecodeError, pefile.PEFormatError) as problem:
            report(check.__name__.replace("_", " "), [f"cannot be read: {problem}"])
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
