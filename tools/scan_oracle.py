r"""What the program's index scan must keep from a cache folder, worked out without
trusting whoever wrote the folder.

The records come from db_dump185, the library's own reader. Their order, and whether
a page scan can reach them at all, come from the pages of FAT.DB: the dump walks
bucket by bucket along overflow chains, while the program reads the file page by
page, and overflow pages lie behind later buckets. Every pair found on the pages
must be one the dump reports, so a wrong page walk here cannot go unnoticed.

expected.tsv (written by write_expected):
    Lines starting with "#" are comments. Every other line is one document the scan
    keeps, tab-separated, in the order the scan files the surviving record:
        url             the key's URL with every backslash turned into a slash
        local file      the file name as the record holds it
        MIME type       as the program's type list holds it: one of the six known
                        types in their own spelling when equal ignoring case, else
                        as first met in file order
        last modified   seconds since 1970 UTC, signed decimal
        last accessed   likewise
        expires         likewise
        content length  signed decimal
        host            the URL's host: after "//", after a user name ending in "@",
                        without ":" and the port
    Texts are the index's bytes (Windows code page 1252) unchanged, except that a
    backslash, tab, line feed and carriage return are written as \\, \t, \n, \r.
"""

import os
import struct

import fatdb

EXPECTED_NAME = "expected.tsv"
INDEX_NAME = "FAT.DB"
KNOWN_TYPES = ("text/html", "text/plain", "image/gif", "image/jpeg", "image/tiff",
               "image/xbm")
COLUMNS = ("url", "local file", "MIME type", "last modified", "last accessed",
           "expires", "content length", "host")


class OracleError(Exception):
    pass


def page_pairs(raw, page_size):
    """(file offset of the key item, key, data) of every pair a page-by-page scan
    accepts, in file order, read the way the program reads the index: items are
    packed downwards from the page end; a marker offset below 4 (overflow link, big item)
    or an offset out of order ends the page."""
    pairs = []
    for start in range(page_size, len(raw) - page_size + 1, page_size):
        page = raw[start:start + page_size]
        count = struct.unpack_from("<h", page, 0)[0]
        if count <= 0 or count % 2:
            continue
        end = page_size
        for index in range(count // 2):
            word = 2 + 4 * index
            if word + 4 > page_size:
                break
            key_offset, data_offset = struct.unpack_from("<HH", page, word)
            if key_offset < 4 or key_offset >= end or data_offset < 4 or \
                    data_offset >= key_offset:
                break
            pairs.append((start + key_offset, page[key_offset:end],
                          page[data_offset:key_offset]))
            end = data_offset
    return pairs


def _signed(data, offset):
    if offset < 0 or offset + 4 > len(data):
        return None
    return struct.unpack_from("<i", data, offset)[0]


def _string_at(data, offset):
    if offset < 0 or offset >= len(data):
        return None
    end = data.find(b"\0", offset)
    return None if end < 0 else data[offset:end]


def parse_record(data):
    """The fields of a document record at the offsets the program reads, or None when a
    field would reach past the item (the scanner is free to skip such a record)."""
    if _signed(data, 0) != len(data):
        return None
    fields = {}
    for name, offset in (("last_modified", 8), ("last_accessed", 12), ("expires", 16),
                         ("content_length", 20)):
        fields[name] = _signed(data, offset)
    lengths = []
    offset = 29
    for step in (0, 21, 4, 8):
        offset += step + (lengths[-1] if lengths else 0)
        value = _signed(data, offset)
        if value is None or value < 0:
            return None
        lengths.append(value)
    fields["lengths"] = tuple(lengths)
    fields["local_file"] = _string_at(data, 33)
    fields["mime_offset"] = 70 + sum(lengths)
    fields["mime_type"] = _string_at(data, fields["mime_offset"])
    if None in fields.values():
        return None
    return fields


def _lower(text):
    return text.decode("cp1252", "surrogateescape").lower()


def _is_scheme_character(byte):
    return byte in b"+-." or bytes([byte]).decode("cp1252", "replace").isalnum()


def url_host(url):
    """(has scheme, host or None) as the program's URL parser sees a URL."""
    text = url.split(b"#", 1)[0]
    position = 0
    while position < len(text) and _is_scheme_character(text[position]):
        position += 1
    has_scheme = position >= 2 and text[position:position + 1] == b":"
    rest = text[position + 1:] if has_scheme else text
    if not rest.startswith(b"//"):
        return has_scheme, None
    authority = rest[2:].split(b"/", 1)[0]
    if b"@" in authority:
        authority = authority.split(b"@", 1)[1]
    host = authority.split(b":", 1)[0]
    return has_scheme, host or None


def _file_listing(cache_dir):
    names = {_lower(os.fsencode(entry.name)) for entry in os.scandir(cache_dir)
             if entry.is_file()}
    names.add(EXPECTED_NAME)
    return names


def _reachable_records(cache_dir):
    path = os.path.join(cache_dir, INDEX_NAME)
    header, dumped = fatdb.dump_pairs(path)
    page_size = int(header["db_pagesize"])
    with open(path, "rb") as handle:
        raw = handle.read()
    dumped_data = dict(dumped)
    found = page_pairs(raw, page_size)
    for _, key, data in found:
        if dumped_data.get(key) != data:
            raise OracleError("page scan found a pair db_dump185 does not report: %r" % key)
    reached = {key for _, key, _ in found}
    hidden = [key for key, data in dumped
              if key not in reached and not fatdb.is_big_pair(key, data, page_size)]
    if hidden and not any(fatdb.is_big_pair(key, data, page_size) for key, data in dumped):
        raise OracleError("pairs of %s that no page scan reaches: %r" % (path, hidden[:3]))
    return found


def expected_rows(cache_dir):
    """The documents the scan keeps, each as a tuple in the column order above."""
    listing = _file_listing(cache_dir)
    mime_types = list(KNOWN_TYPES)
    kept = {}
    for _, key, data in _reachable_records(cache_dir):
        if key[:4] == b"INT_" or _signed(key, 0) != len(key):
            continue
        record = parse_record(data)
        url = _string_at(key, 8)
        if record is None or url is None or _lower(record["local_file"]) not in listing:
            continue
        url = url.replace(b"\\", b"/")
        has_scheme, host = url_host(url)
        identity = _lower(url)
        if host is not None and identity in kept:
            if kept[identity][0]["last_accessed"] > record["last_accessed"]:
                continue
            del kept[identity]
        if not has_scheme or host is None:
            continue
        mime = _lower(record["mime_type"])
        match = next((known for known in mime_types if known.lower() == mime), None)
        if match is None:
            match = record["mime_type"].decode("cp1252", "surrogateescape")
            mime_types.append(match)
        row = (url, record["local_file"], match.encode("cp1252", "surrogateescape"),
               record["last_modified"], record["last_accessed"], record["expires"],
               record["content_length"], host)
        # A replacing record enters the dict anew, after the records filed before it.
        kept[identity] = (record, row)
    return [row for _, row in kept.values()]


def _escape(value):
    if isinstance(value, int):
        return str(value).encode()
    return (value.replace(b"\\", b"\\\\").replace(b"\t", b"\\t")
            .replace(b"\n", b"\\n").replace(b"\r", b"\\r"))


def write_expected(cache_dir):
    rows = expected_rows(cache_dir)
    lines = [b"# Documents an index scan of this folder keeps (written by the fixture "
             b"tools from db_dump185 output and the index pages).",
             b"# Columns, tab-separated: " + "\t".join(COLUMNS).encode(),
             b"# Times are seconds since 1970 UTC. Texts are code page 1252 bytes; "
             b"\\\\ \\t \\n \\r are escaped."]
    lines += [b"\t".join(_escape(value) for value in row) for row in rows]
    with open(os.path.join(cache_dir, EXPECTED_NAME), "wb") as handle:
        handle.write(b"\n".join(lines) + b"\n")
    return rows
