#!/usr/bin/env python3
"""Write damaged copies of a fixture cache's index, each with the documents that stay intact.

    damage_index.py BASE_CACHE OUTDIR

BASE_CACHE is a folder written by make_cache.py: FAT.DB made by the genuine hash
library, the cached files and expected.tsv. OUTDIR receives one folder per damage
(truncated files, a broken header, page counts and item offsets at their limits,
texts without their terminator, length words that lie), each holding the damaged
FAT.DB, the base's cached files (hard links where the file system has them) and
intact.tsv, plus these files:

    variants.tsv   one line per folder: name, 1 when no index header is left to read
                   (the program must say it found no cache), and what was damaged
    written.tsv    every document the fixture wrote: url, local file, host

intact.tsv lists, as url and host, the documents the program must still show. It is
worked out from where the undamaged file holds each document (its page, its entry in
the page's offset table, its key and data items) and from the bytes each damage wrote,
not by reading the damaged file: a document is intact while its page is whole in the
file, the header still names the page size, the offset table's count still covers its
entry, and neither its entry, the entries before it (they bound its items) nor its
items were written. Damage to the header words that address the hash table is only
ever towards more pages or words that do not fit together, so that every page of the
file stays one to read.
"""

import os
import shutil
import struct
import sys

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS_DIR)
sys.dont_write_bytecode = True

import fatdb  # noqa: E402
import scan_oracle  # noqa: E402

MAGIC = b"\x00\x06\x15\x61"
HEADER_SIZE = 16
PAGE_SIZE_BYTE = 14
# Words of the hash library's header (big-endian), by their offsets.
HEADER_LORDER = 8
HEADER_BSIZE = 12
HEADER_BSHIFT = 16
HEADER_OVFL_POINT = 32
HEADER_MAX_BUCKET = 40
HEADER_HDRPAGES = 60
HEADER_SPARES = 68
SPLIT_POINTS = 32
INTACT_NAME = "intact.tsv"
VARIANTS_NAME = "variants.tsv"
WRITTEN_NAME = "written.tsv"


class DamageError(Exception):
    pass


class Document:
    """Where the undamaged file holds one document, and what the fixture wrote for it."""

    def __init__(self, page, entry, key_start, key_end, data_start, url, local_file, host):
        self.page = page
        self.entry = entry
        self.key_start = key_start
        self.key_end = key_end
        self.data_start = data_start
        self.url = url
        self.local_file = local_file
        self.host = host


class Base:
    def __init__(self, folder):
        self.folder = folder
        path = os.path.join(folder, scan_oracle.INDEX_NAME)
        with open(path, "rb") as handle:
            self.raw = handle.read()
        header, _ = fatdb.dump_pairs(path)
        self.page_size = int(header["db_pagesize"])
        if self.raw[PAGE_SIZE_BYTE] * 256 != self.page_size:
            raise DamageError("%s: header byte 14 does not give the page size" % path)
        rows = {row[0]: row for row in scan_oracle.expected_rows(folder)}
        self.documents = []
        self.pages = {}
        # page_pairs checks every pair it finds against db_dump185's reading.
        for key_at, key, data in scan_oracle.page_pairs(self.raw, self.page_size):
            page = key_at // self.page_size
            entries = self.pages.setdefault(page, [])
            entry = len(entries)
            entries.append(key_at)
            url = key[8:key.index(b"\0", 8)] if key[:4] != b"INT_" else None
            if url not in rows:
                continue
            row = rows.pop(url)
            self.documents.append(Document(page, entry, key_at, key_at + len(key),
                                           key_at - len(data), url, row[1], row[7]))
        if rows:
            raise DamageError("documents of %s not found on its pages: %r" % (folder, list(rows)[:3]))
        self.cached_files = sorted(name for name in os.listdir(folder)
                                   if name not in (scan_oracle.INDEX_NAME, scan_oracle.EXPECTED_NAME)
                                   and os.path.isfile(os.path.join(folder, name)))

    def pages_by_documents(self):
        """The pages holding documents: those with the most first, and of those first the
        pages whose first entry is a document."""
        def order(page):
            documents = [d for d in self.documents if d.page == page]
            return (-len(documents), min(d.entry for d in documents), page)
        return sorted({document.page for document in self.documents}, key=order)

    def entry_offset(self, page, entry):
        return page * self.page_size + 2 + 4 * entry


class Damage:
    """Bytes written over the base file, then perhaps a cut."""

    def __init__(self, name, what, base):
        self.name = name
        self.what = what
        self.base = base
        self.data = bytearray(base.raw)
        self.written = set()
        self.length = len(base.raw)

    def write(self, offset, data):
        self.data[offset:offset + len(data)] = data
        self.written.update(range(offset, offset + len(data)))
        return self

    def append(self, data):
        self.write(self.length, data)
        self.length += len(data)
        return self

    def cut(self, length):
        self.length = length
        return self

    def image(self):
        return bytes(self.data[:self.length])

    def touched(self, start, end):
        return any(offset in self.written for offset in range(start, min(end, self.length)))

    def refused(self):
        """No index header left: too short, another magic, or a page size of 0."""
        image = self.image()
        return len(image) < HEADER_SIZE or image[:4] != MAGIC or image[PAGE_SIZE_BYTE] == 0

    def count_covers(self, page, entry):
        """Whether the page's count, as damaged, still takes in the entry."""
        start = page * self.base.page_size
        if not self.touched(start, start + 2):
            return True
        count = struct.unpack_from("<h", self.data, start)[0]
        return count > 0 and count % 2 == 0 and 2 + 2 * count <= self.base.page_size and \
            count >= 2 * (entry + 1)

    def intact(self, document):
        page_size = self.base.page_size
        page_start = document.page * page_size
        if self.refused() or self.touched(0, 4) or self.touched(PAGE_SIZE_BYTE, PAGE_SIZE_BYTE + 1):
            return False
        if self.length < page_start + page_size:
            return False
        if not self.count_covers(document.page, document.entry):
            return False
        if self.touched(page_start + 2, self.base.entry_offset(document.page, document.entry + 1)):
            return False
        return not self.touched(document.data_start, document.key_end)


def word_le(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def word_be(value):
    return struct.pack(">I", value & 0xFFFFFFFF)


def half_le(value):
    return struct.pack("<H", value & 0xFFFF)


def cuts(base):
    page_size = base.page_size
    pages = len(base.raw) // page_size
    damages = [Damage("cut-empty", "an empty file", base).cut(0),
               Damage("cut-header-15", "15 bytes: short of a header", base).cut(15),
               Damage("cut-header-16", "the 16 header bytes alone", base).cut(16),
               Damage("cut-header-page", "the header page short of its end", base).cut(page_size - 1)]
    for page in range(1, pages):
        damages.append(Damage("cut-page-%d" % page, "cut where page %d begins" % page, base)
                       .cut(page * page_size))
    for page in sorted({document.page for document in base.documents}):
        damages.append(Damage("cut-inside-page-%d" % page, "page %d one byte short" % page, base)
                       .cut((page + 1) * page_size - 1))
    return damages


def header_damages(base):
    size_byte = base.raw[PAGE_SIZE_BYTE]
    spares = b"".join(word_be(0x7FFFFFFF) for _ in range(SPLIT_POINTS))
    return [
        Damage("header-magic", "the magic's second byte changed", base).write(1, b"\x07"),
        Damage("header-page-size-0", "page size byte 0", base).write(PAGE_SIZE_BYTE, b"\x00"),
        Damage("header-page-size-255", "page size byte 255", base).write(PAGE_SIZE_BYTE, b"\xff"),
        Damage("header-page-size-double", "page size byte doubled", base)
        .write(PAGE_SIZE_BYTE, bytes([size_byte * 2 & 0xFF])),
        Damage("header-page-size-half", "page size byte halved", base)
        .write(PAGE_SIZE_BYTE, bytes([size_byte // 2])),
        Damage("header-size-other-bytes", "the page size word's other bytes set", base)
        .write(HEADER_BSIZE, b"\xff\xff").write(HEADER_BSIZE + 3, b"\xff"),
        Damage("header-order", "byte order word zero", base).write(HEADER_LORDER, word_be(0)),
        Damage("header-shift", "bucket shift 31", base).write(HEADER_BSHIFT, word_be(31)),
        Damage("header-split-negative", "overflow point -1", base).write(HEADER_OVFL_POINT, word_be(-1)),
        Damage("header-max-bucket", "highest bucket 2^31-1", base).write(HEADER_MAX_BUCKET, word_be(0x7FFFFFFF)),
        Damage("header-pages", "header pages 2^31-1", base).write(HEADER_HDRPAGES, word_be(0x7FFFFFFF)),
        Damage("header-spares", "every split's overflow pages 2^31-1", base).write(HEADER_SPARES, spares),
    ]


def count_damage(base):
    """One page count at each limit, a page each."""
    page_size = base.page_size
    widest = (page_size - 2) // 2 // 2 * 2
    values = [2, widest, 0, -1, 3, widest + 2, 0x7FFF, -0x8000]
    damage = Damage("counts", "page counts 2, the widest table, 0, -1, odd, too wide, 32767, -32768", base)
    for page, value in zip(base.pages_by_documents(), values):
        damage.write(page * page_size, half_le(value))
    return damage


def offset_damages(base):
    """Item offsets at their limits, each on the second entry of a page where it has one,
    so that the entry before must still be read."""
    page_size = base.page_size
    pages = base.pages_by_documents()

    def target(page):
        return min(1, len(base.pages[page]) - 1)

    keys = Damage("key-offsets", "key offsets 0, 3, the page end, past it, 65535, the item end, "
                  "4 and one short of the page end", base)
    for page, value in zip(pages, (0, 3, page_size, page_size + 1, 0xFFFF, None, 4, page_size - 1)):
        entry = target(page)
        if value is None:
            # The key would begin where the item before it ends: no room for it.
            value = page_size
            if entry:
                value = struct.unpack_from("<H", base.raw, base.entry_offset(page, entry - 1) + 2)[0]
        keys.write(base.entry_offset(page, entry), half_le(value))
    data = Damage("data-offsets", "data offsets 0, 3, the key's own, behind the key, 65535 and 4", base)
    for index, page in enumerate(pages[:6]):
        entry = target(page)
        key_offset = struct.unpack_from("<H", base.raw, base.entry_offset(page, entry))[0]
        value = (0, 3, key_offset, key_offset + 1, 0xFFFF, 4)[index]
        data.write(base.entry_offset(page, entry) + 2, half_le(value))
    return [keys, data]


def documents_spread(base, count):
    """`count` documents on distinct pages where possible."""
    chosen, pages = [], set()
    for document in base.documents:
        if document.page not in pages:
            chosen.append(document)
            pages.add(document.page)
    chosen += [d for d in base.documents if d not in chosen]
    if len(chosen) < count:
        raise DamageError("the base cache holds fewer than %d documents" % count)
    return chosen[:count]


def data_field(base, document, offset):
    return struct.unpack_from("<i", base.raw, document.data_start + offset)[0]


def length_fields(base, document):
    """(offset in the data item, value) of L1 to L4 as the undamaged record holds them:
    each stands behind the field the one before it measures."""
    fields, offset = [], 29
    for step in (0, 21, 4, 8):
        offset += step + (fields[-1][1] if fields else 0)
        fields.append((offset, data_field(base, document, offset)))
    return fields


def text_damages(base):
    url, local, mime = documents_spread(base, 3)
    damage = Damage("unterminated", "a URL, a file name and a MIME type without their NUL (the MIME "
                    "type's bytes to the end of its item)", base)
    damage.write(url.key_end - 1, b"x")
    damage.write(local.data_start + 33 + length_fields(base, local)[0][1] - 1, b"x")
    mime_at = mime.data_start + 70 + sum(length for _, length in length_fields(base, mime))
    damage.write(mime_at, b"x" * (mime.key_start - mime_at))
    return [damage]


def length_damages(base):
    documents = documents_spread(base, 8)

    def stored(offset):
        return struct.unpack_from("<I", base.raw, offset)[0]

    keys = Damage("key-lengths", "key length words one more, one less, -1 and -2^31", base)
    for document, value in zip(documents, (stored(documents[0].key_start) + 1,
                                           stored(documents[1].key_start) - 1, 0xFFFFFFFF, 0x80000000)):
        keys.write(document.key_start, word_le(value))
    records = Damage("record-lengths", "record length words one more, one less, 2^31-1 and 0", base)
    for document, value in zip(documents[4:], (stored(documents[4].data_start) + 1,
                                               stored(documents[5].data_start) - 1, 0x7FFFFFFF, 0)):
        records.write(document.data_start, word_le(value))
    fields = Damage("field-lengths", "field lengths -1, 2^31-1, -2^31, past the item, and all four at "
                    "2^31-1", base)
    for number, document in enumerate(documents[:4]):
        offset = length_fields(base, document)[number][0]
        value = (-1, 0x7FFFFFFF, -0x80000000, document.key_start - document.data_start)[number]
        fields.write(document.data_start + offset, word_le(value))
    for offset, _ in length_fields(base, documents[4]):
        fields.write(documents[4].data_start + offset, word_le(0x7FFFFFFF))
    return [keys, records, fields]


def grown_damage(base):
    """The file grown past the pages its header addresses by copies of its pages, each
    document there naming the file of another: nothing of the index lies there."""
    damage = Damage("grown", "copies of the pages past the header's last, their documents naming "
                    "other documents' files", base)
    grown = bytearray()
    for page in sorted({document.page for document in base.documents}):
        copy = bytearray(base.raw[page * base.page_size:(page + 1) * base.page_size])
        for document in (d for d in base.documents if d.page == page):
            name = document.local_file
            other = next((d.local_file for d in base.documents
                          if d.local_file != name and len(d.local_file) == len(name)), None)
            if other is None:
                raise DamageError("no other file name as long as %r" % name)
            at = document.data_start - page * base.page_size + 33
            copy[at:at + len(name)] = other
        grown += copy
    return damage.append(bytes(grown))


def all_damages(base):
    damages = cuts(base) + header_damages(base) + [count_damage(base)] + offset_damages(base) + \
        text_damages(base) + length_damages(base) + [grown_damage(base)]
    names = [damage.name for damage in damages]
    if len(set(names)) != len(names):
        raise DamageError("two damages share a name")
    return damages


def share_file(source, target):
    try:
        os.link(source, target)
    except OSError:
        shutil.copyfile(source, target)


def write_variant(base, damage, outdir):
    folder = os.path.join(outdir, damage.name)
    os.makedirs(folder)
    with open(os.path.join(folder, scan_oracle.INDEX_NAME), "wb") as handle:
        handle.write(damage.image())
    for name in base.cached_files:
        share_file(os.path.join(base.folder, name), os.path.join(folder, name))
    intact = [document for document in base.documents if damage.intact(document)]
    with open(os.path.join(folder, INTACT_NAME), "wb") as handle:
        handle.write(b"".join(document.url + b"\t" + document.host + b"\n" for document in intact))
    return len(intact)


def write_all(base_folder, outdir):
    base = Base(base_folder)
    damages = all_damages(base)
    outdir = os.path.abspath(outdir)
    staging = outdir + ".building-%d" % os.getpid()
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    try:
        lines = []
        for damage in damages:
            kept = write_variant(base, damage, staging)
            lines.append("%s\t%d\t%s (%d of %d documents intact)\n"
                         % (damage.name, damage.refused(), damage.what, kept, len(base.documents)))
        with open(os.path.join(staging, WRITTEN_NAME), "wb") as handle:
            handle.write(b"".join(b"\t".join((d.url, d.local_file, d.host)) + b"\n" for d in base.documents))
        # Written last: it stands for the whole folder.
        with open(os.path.join(staging, VARIANTS_NAME), "w") as handle:
            handle.writelines(lines)
        shutil.rmtree(outdir, ignore_errors=True)
        os.rename(staging, outdir)
    finally:
        shutil.rmtree(staging, ignore_errors=True)
    return damages


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    try:
        damages = write_all(argv[0], argv[1])
    except (DamageError, fatdb.FatDbError, scan_oracle.OracleError) as error:
        print("damage_index: %s" % error, file=sys.stderr)
        return 1
    print("damage_index: %s: %d damaged indexes" % (argv[1], len(damages)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
