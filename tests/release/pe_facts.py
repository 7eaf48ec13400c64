#!/usr/bin/env python3
"""Prints what a released Windows executable must show, read from its own
bytes, one "name=value" per line:

    pe_facts.py FILE.exe

  time_stamp        the PE header's time stamp (0: none written)
  symbols           the COFF symbol table's entries (0 when stripped)
  debug_sections    the names of sections with debug information, or "none"
  file_version      the version resource's fixed file version, as 1.0.0.0
  product_version   its fixed product version
  NAME=VALUE        each string of its string tables (ProductName, ...)

Exit code 1 when the file is no PE executable or has no version resource.
"""
import struct
import sys

RT_VERSION = 16


def sections(data, pe):
    count, = struct.unpack_from("<H", data, pe + 6)
    optional, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional
    for i in range(count):
        name, size_in_memory, address, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        yield name.rstrip(b"\0").decode("latin-1"), address, max(size_in_memory, raw_size), raw


def file_offset(data, pe, rva):
    for _, address, size, raw in sections(data, pe):
        if address <= rva < address + size:
            return raw + rva - address
    raise ValueError(f"address {rva:#x} is in no section")


def first_leaf(data, base, offset):
    """The data entry under the resource directory at offset, taking the first
    entry at every level below the type."""
    named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
    if named + numbered == 0:
        raise ValueError("empty resource directory")
    _, target = struct.unpack_from("<II", data, base + offset + 16)
    return first_leaf(data, base, target & 0x7FFFFFFF) if target & 0x80000000 else target


def version_resource(data, pe, rsrc_rva):
    base = file_offset(data, pe, rsrc_rva)
    named, numbered = struct.unpack_from("<HH", data, base + 12)
    for i in range(named + numbered):
        kind, target = struct.unpack_from("<II", data, base + 16 + 8 * i)
        if kind == RT_VERSION and target & 0x80000000:
            rva, size = struct.unpack_from("<II", data, base + first_leaf(data, base, target & 0x7FFFFFFF))
            start = file_offset(data, pe, rva)
            return data[start:start + size]
    raise ValueError("no version resource")


def blocks(data, start, end):
    """The blocks of a version resource between start and end: (key, value
    bytes, text?, children's start, block end)."""
    while start + 6 <= end:
        length, value_length, text = struct.unpack_from("<HHH", data, start)
        if length == 0:
            break
        key_end = start + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[start + 6:key_end].decode("utf-16-le")
        value = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if text else value_length
        yield key, data[value:value + value_bytes], text, (value + value_bytes + 3) & ~3, start + length
        start = (start + length + 3) & ~3


def facts(path):
    with open(path, "rb") as f:
        data = f.read()
    pe, = struct.unpack_from("<I", data, 0x3C)
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE executable")
    stamp, _, symbols = struct.unpack_from("<III", data, pe + 8)
    print(f"time_stamp={stamp}")
    print(f"symbols={symbols}")
    debug = [name for name, *_ in sections(data, pe) if name.startswith((".debug", "/"))]
    print(f"debug_sections={','.join(debug) or 'none'}")
    magic, = struct.unpack_from("<H", data, pe + 24)
    directories = pe + 24 + (96 if magic == 0x10B else 112)
    rsrc_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    resource = version_resource(data, pe, rsrc_rva)
    (key, fixed, _, children, end), = list(blocks(resource, 0, len(resource)))[:1]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        raise ValueError("the version resource has no fixed file information")
    dotted = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    print(f"file_version={dotted(file_ms, file_ls)}")
    print(f"product_version={dotted(product_ms, product_ls)}")
    for key, _, _, start, stop in blocks(resource, children, end):
        if key == "StringFileInfo":
            for _, _, _, table_start, table_end in blocks(resource, start, stop):
                for name, value, _, _, _ in blocks(resource, table_start, table_end):
                    print(f"{name}={value.decode('utf-16-le').rstrip(chr(0))}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    try:
        facts(sys.argv[1])
    except (ValueError, struct.error) as e:
        sys.exit(f"pe_facts.py: {sys.argv[1]}: {e}")
