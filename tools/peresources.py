"""Reads resources out of a Windows PE file (an .exe) without running it.

Used by the release checks: the version block and the embedded manifest of the program and of the
installer are compared with the project version.
"""
import struct

RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


def _sections(data):
    if data[:2] != b"MZ":
        raise PeError("not an MZ executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size
    sections = []
    for i in range(count):
        _, virtual_size, rva, raw_size, raw_pointer = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((rva, max(virtual_size, raw_size), raw_pointer))
    return resource_rva, sections


def _offset(sections, rva):
    for start, size, raw in sections:
        if start <= rva < start + size:
            return rva - start + raw
    raise PeError("address 0x%x lies in no section" % rva)


def resources(path):
    """{(type, name): [data, ...]} for every resource with a numeric type and name."""
    with open(path, "rb") as f:
        data = f.read()
    resource_rva, sections = _sections(data)
    if not resource_rva:
        return {}
    base = _offset(sections, resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield ident, target

    found = {}
    for type_id, type_target in entries(0):
        if type_id & 0x80000000 or not type_target & 0x80000000:
            continue
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            if name_id & 0x80000000 or not name_target & 0x80000000:
                continue
            for _, leaf in entries(name_target & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                start = _offset(sections, rva)
                found.setdefault((type_id, name_id), []).append(data[start:start + size])
    return found


def _version_node(block, offset):
    """One node of a version block: (key, value bytes, children, offset of the next node)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    key_end = offset + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[offset + 6:key_end].decode("utf-16-le")
    cursor = (key_end + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length
    value = block[cursor:cursor + size]
    cursor = (cursor + size + 3) & ~3
    children = []
    while cursor < end:
        child = _version_node(block, cursor)
        children.append(child)
        cursor = (child[3] + 3) & ~3
    return key, value, children, end


def version_info(path):
    """(file version, product version, {string name: text}) of the first version block."""
    blocks = resources(path).get((RT_VERSION, 1))
    if not blocks:
        raise PeError("%s has no version block" % path)
    key, value, children, _ = _version_node(blocks[0], 0)
    if key != "VS_VERSION_INFO" or len(value) < 52:
        raise PeError("%s has a malformed version block" % path)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", value, 0)
    if signature != 0xFEEF04BD:
        raise PeError("%s: fixed file information has the wrong signature" % path)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child in children:
        if child[0] != "StringFileInfo":
            continue
        for table in child[2]:
            for name, text, _, _ in table[2]:
                strings[name] = text.decode("utf-16-le").rstrip("\0")
    return dotted(file_ms, file_ls), dotted(product_ms, product_ls), strings


def manifest(path):
    """The text of the embedded application manifest (resource 1 of type 24), or None."""
    blocks = resources(path).get((RT_MANIFEST, 1))
    return blocks[0].decode("utf-8", "replace") if blocks else None
