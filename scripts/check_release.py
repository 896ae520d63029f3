#!/usr/bin/env python3
"""Checks on the release that need no Windows, run by ctest (res/resources.cmake).

  check_release.py resources PROGRAM.exe RES_DIR VERSION
      The program's resource section holds the icon group DEFAULT_ICON with
      the eight images of RES_DIR/app.ico, byte for byte, the pointer
      HAND_CURSOR with the image and hot spot of RES_DIR/hand.cur, and a
      version block whose file version is VERSION.
  check_release.py icon-source RES_DIR SCRATCH_DIR
      scripts/make_icon.py, run into SCRATCH_DIR, makes exactly the committed
      RES_DIR/app.ico and RES_DIR/hand.cur.
  check_release.py package ZIP PROGRAM.exe TEMPLATE_DIR
      The zip holds the program and data/ with the thirty data files exactly
      as in TEMPLATE_DIR, and those files are in the program's format.
"""
import os
import struct
import subprocess
import sys
import zipfile

RT_CURSOR, RT_ICON, RT_VERSION = 1, 3, 16
RT_GROUP_CURSOR, RT_GROUP_ICON = 12, 14
ICON_IMAGES = {(size, bits) for size in (16, 24, 32, 48) for bits in (8, 32)}
DATA_FILES = [f"{kind}{n}.txt" for n in range(1, 11) for kind in ("tag", "ty", "gjc")]

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message, file=sys.stderr)


# --- Reading a PE file's resource tree ---------------------------------------

def read_resources(path):
    """{type: {name: bytes}} from the resource section; types and names are
    ints or upper-case strings; the first language of each name is taken."""
    with open(path, "rb") as f:
        pe = f.read()
    (pe_offset,) = struct.unpack_from("<I", pe, 0x3C)
    if pe[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a PE file")
    _, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", pe, pe_offset + 4)
    optional = pe_offset + 24
    (magic,) = struct.unpack_from("<H", pe, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva, resource_size = struct.unpack_from("<II", pe, directories + 2 * 8)
    if resource_size == 0:
        return {}

    section_table = []
    for i in range(sections):
        entry = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", pe, entry + 8)
        section_table.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def file_offset(rva):
        for address, size, raw in section_table:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    base = file_offset(resource_rva)

    def name_of(field):
        if field & 0x80000000:
            at = base + (field & 0x7FFFFFFF)
            (length,) = struct.unpack_from("<H", pe, at)
            return pe[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
        return field

    def entries(at):
        named, numbered = struct.unpack_from("<HH", pe, at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", pe, at + 16 + 8 * i)
            yield name_of(name), target

    def leaf(target):
        # Below a name come its languages; the program has one of each.
        while target & 0x80000000:
            target = next(entries(base + (target & 0x7FFFFFFF)))[1]
        data_rva, size = struct.unpack_from("<II", pe, base + target)
        at = file_offset(data_rva)
        return pe[at:at + size]

    tree = {}
    for type_key, type_target in entries(base):
        names = tree.setdefault(type_key, {})
        for name_key, name_target in entries(base + (type_target & 0x7FFFFFFF)):
            names[name_key] = leaf(name_target)
    return tree


def read_icon_file(path):
    """[(directory entry fields, image bytes)] of an ICO or CUR file."""
    with open(path, "rb") as f:
        data = f.read()
    _, _, count = struct.unpack_from("<HHH", data, 0)
    images = []
    for i in range(count):
        fields = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size, offset = fields[6], fields[7]
        images.append((fields, data[offset:offset + size]))
    return images


def bitmap_size_and_bits(image):
    _, width, height, _, bits = struct.unpack_from("<IiiHH", image, 0)
    return width, height, bits


# --- The checks ----------------------------------------------------------------

def check_resources(program, res_dir, version):
    tree = read_resources(program)

    # The icon group: each image the program carries must be the one drawn
    # into res/app.ico, in the size and colour depth its group entry claims,
    # or Windows picks a wrong or stale picture for the title bar and taskbar.
    committed = {}
    for fields, image in read_icon_file(os.path.join(res_dir, "app.ico")):
        committed[(fields[0] or 256, fields[5])] = image
    group = tree.get(RT_GROUP_ICON, {}).get("DEFAULT_ICON")
    if group is None:
        fail("no icon group named DEFAULT_ICON")
    else:
        _, kind, count = struct.unpack_from("<HHH", group, 0)
        found = set()
        for i in range(count):
            width, height, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            key = (width or 256, bits)
            found.add(key)
            image = tree.get(RT_ICON, {}).get(icon_id)
            if image is None:
                fail(f"icon group entry {key} names icon {icon_id}, which is missing")
            elif len(image) != size or bitmap_size_and_bits(image) != (width or 256, 2 * (height or 256), bits):
                fail(f"icon {icon_id} does not match its group entry {key}")
            elif image != committed.get(key):
                fail(f"icon {key} differs from res/app.ico")
        if kind != 1 or found != ICON_IMAGES:
            fail(f"DEFAULT_ICON holds {sorted(found)}, not {sorted(ICON_IMAGES)}")

    # The pointer: its image and hot spot as in res/hand.cur, so the click
    # lands where the fingertip points.
    [(fields, image)] = read_icon_file(os.path.join(res_dir, "hand.cur"))
    hotspot = fields[4:6]
    group = tree.get(RT_GROUP_CURSOR, {}).get("HAND_CURSOR")
    if group is None:
        fail("no pointer named HAND_CURSOR")
    else:
        _, kind, count = struct.unpack_from("<HHH", group, 0)
        cursor_id = struct.unpack_from("<HHHHIH", group, 6)[5] if count == 1 else None
        data = tree.get(RT_CURSOR, {}).get(cursor_id, b"")
        if kind != 2 or count != 1:
            fail(f"HAND_CURSOR is type {kind} with {count} images, not one pointer image")
        elif struct.unpack_from("<HH", data, 0) != hotspot or data[4:] != image:
            fail("HAND_CURSOR differs from res/hand.cur in its image or hot spot")

    # The version block, as Explorer's properties page shows it.
    block = tree.get(RT_VERSION, {}).get(1, b"")
    at = block.find(struct.pack("<I", 0xFEEF04BD))
    want = [int(part) for part in version.split(".")] + [0] * (4 - len(version.split(".")))
    if at < 0:
        fail("no version block")
    else:
        ms, ls = struct.unpack_from("<II", block, at + 8)
        have = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
        if have != want:
            fail(f"file version is {have}, the release is {want}")


def check_icon_source(res_dir, scratch):
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "make_icon.py")
    subprocess.run([sys.executable, script, scratch], check=True)
    for name in ("app.ico", "hand.cur"):
        with open(os.path.join(res_dir, name), "rb") as a, open(os.path.join(scratch, name), "rb") as b:
            if a.read() != b.read():
                fail(f"res/{name} is not what scripts/make_icon.py draws: run it and commit the result")


def check_data_format(name, data):
    """The program reads these bytes as GBK text with CR LF line ends."""
    if data.startswith(b"\xEF\xBB\xBF") or data.startswith(b"\xFF\xFE"):
        fail(f"data/{name} starts with a byte-order mark, which the program shows as text")
    if b"\0" in data or b"\x1A" in data:
        fail(f"data/{name} holds a NUL or SUB byte, where the program stops reading")
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        fail(f"data/{name} has a line end other than CR LF")
    if data.endswith(b"\r\n"):
        fail(f"data/{name} ends with a line end, which the program reads as an empty last line")
    try:
        data.decode("gbk")
    except UnicodeDecodeError:
        fail(f"data/{name} is not GBK text")


def check_package(zip_path, program, template):
    program_name = os.path.basename(program)
    expected = {program_name} | {f"data/{name}" for name in DATA_FILES}
    with zipfile.ZipFile(zip_path) as z:
        members = {info.filename.rstrip("/"): info for info in z.infolist()}
        files = {name for name, info in members.items() if not info.is_dir()}
        if files != expected:
            fail(f"zip holds {sorted(files ^ expected)} wrongly (missing or extra)")
        with open(program, "rb") as f:
            if program_name in files and z.read(program_name) != f.read():
                fail(f"zip's {program_name} is not the program just built")
        for name in DATA_FILES:
            if f"data/{name}" not in files:
                continue
            data = z.read(f"data/{name}")
            with open(os.path.join(template, name), "rb") as f:
                if data != f.read():
                    fail(f"zip's data/{name} differs from the template")
            check_data_format(name, data)

    # The example in category 1: seeds to expand and statements that hold
    # the wildcard, so the first press of the button shows what it does.
    def lines(name):
        with open(os.path.join(template, name), "rb") as f:
            text = f.read()
        return text.split(b"\r\n") if text else []
    if not lines("tag1.txt") or b"" in lines("tag1.txt"):
        fail("data/tag1.txt holds no example seed keywords, or an empty line")
    if not lines("ty1.txt") or not all(b"*" in line for line in lines("ty1.txt")):
        fail("data/ty1.txt holds no example statements, or one without the wildcard")


def main(argv):
    commands = {"resources": (check_resources, 3), "icon-source": (check_icon_source, 2),
                "package": (check_package, 3)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 != commands[argv[1]][1]:
        print(__doc__, file=sys.stderr)
        return 2
    command, _ = commands[argv[1]]
    command(*argv[2:])
    if not failures:
        print("OK:", argv[1], *argv[2:])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
