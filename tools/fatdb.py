"""Write a browser cache index (FAT.DB) through the genuine Berkeley DB 1.85 library.

The file is made by libdb1 itself (`/lib/libdb1.so.2`, the hash access method), so
the reader in the program meets real pages: real bucket splits, overflow chains,
bitmap pages and stale bytes left by compaction. This module only decides what the
key and data items contain.

Key item of a document:   u32 item length | u32 (ignored by readers) | URL | NUL
Key item of the browser's own bookkeeping: the four characters INT_, then anything.

Data item of a document (little-endian; offsets from the item's start):
    0   u32  item length
    4   u32  record version (ignored by readers)
    8   i32  last modified      12  i32  last accessed
    16  i32  expires            20  i32  content length
    24  u32  hit count          28  u8   flags
    29  u32  L1                 33  local file name, NUL-terminated (L1 bytes)
    33+L1    17 bytes of bookkeeping (ignored by readers)
    50+L1    u32 L2, then the charset (L2 bytes, NUL-terminated)
    54+L1+L2 u32 L3, then the content encoding (L3 bytes)
    58+L1+L2+L3 u32 (ignored by readers)
    62+L1+L2+L3 u32 L4, then the server name (L4 bytes)
    66+L1+L2+L3+L4 u32 length of the MIME type field
    70+L1+L2+L3+L4 MIME type, NUL-terminated
    then a 4-byte trailer.
"""

import ctypes
import os
import struct
import subprocess
import sys
import zlib
from dataclasses import dataclass

LIBDB1_PATH = "/lib/libdb1.so.2"
DB_DUMP185 = "db_dump185"

DB_HASH = 1
R_NOOVERWRITE = 8
LITTLE_ENDIAN_ORDER = 1234

# libdb1 writes its page buffers without clearing them, so the free space of a page
# holds whatever the heap held before: in a Python process, object pointers that
# change with every run. The library therefore runs in a child process whose
# allocator fills every new block (perturb) and keeps no per-thread cache of freed
# blocks (tcache, which hands blocks out without filling them). Then the same pairs
# always give the same bytes.
ALLOCATOR_TUNABLES = "glibc.malloc.tcache_count=0:glibc.malloc.perturb=255"

# Page sizes the program can read: a multiple of 256 whose header byte 14 is non-zero.
VALID_PAGE_SIZES = tuple(256 << shift for shift in range(8))

# The hash library stores a pair larger than three quarters of a page in overflow
# pages of its own ("big" items), out of reach of a page-by-page index scan.
BIG_PAIR_FRACTION = 0.75
PAIR_OVERHEAD = 4

RECORD_VERSION = 3
BOOKKEEPING_SIZE = 17
TRAILER = b"\0\0\0\0"


class FatDbError(Exception):
    pass


@dataclass
class CacheRecord:
    """One document record: what the browser knows about one cached URL."""
    url: str
    local_file: str
    mime_type: str = "text/html"
    last_modified: int = 0
    last_accessed: int = 0
    expires: int = 0
    content_length: int = 0
    charset: str = "iso-8859-1"
    content_encoding: str = "identity"
    server: str = "Apache/1.1.1"
    hit_count: int = 1
    key_length_field: int = None
    record_length_field: int = None


def encode_text(text):
    """Index texts are single bytes in the Windows code page the browser ran under."""
    if isinstance(text, bytes):
        return text
    return text.encode("cp1252")


def _length_field(text):
    return encode_text(text) + b"\0"


def encode_key(record):
    url = encode_text(record.url)
    length = 8 + len(url) + 1
    field = length if record.key_length_field is None else record.key_length_field
    return struct.pack("<II", field & 0xFFFFFFFF, zlib.crc32(url)) + url + b"\0"


def encode_data(record):
    name = _length_field(record.local_file)
    charset = _length_field(record.charset)
    encoding = _length_field(record.content_encoding)
    server = _length_field(record.server)
    mime = _length_field(record.mime_type)
    body = bytearray()
    body += struct.pack("<I", 0)
    body += struct.pack("<I", RECORD_VERSION)
    body += struct.pack("<iiii", record.last_modified, record.last_accessed,
                        record.expires, record.content_length)
    body += struct.pack("<IB", record.hit_count, 0)
    body += struct.pack("<I", len(name)) + name
    body += struct.pack("<BIIII", 1, record.content_length, record.last_modified, 0, 0)
    assert len(body) == 33 + len(name) + BOOKKEEPING_SIZE
    body += struct.pack("<I", len(charset)) + charset
    body += struct.pack("<I", len(encoding)) + encoding
    body += struct.pack("<I", 0)
    body += struct.pack("<I", len(server)) + server
    body += struct.pack("<I", len(mime)) + mime
    body += TRAILER
    length = len(body) if record.record_length_field is None else record.record_length_field
    body[0:4] = struct.pack("<I", length & 0xFFFFFFFF)
    return bytes(body)


def internal_key(name):
    key = encode_text(name)
    if not key.startswith(b"INT_"):
        raise FatDbError("internal keys begin with INT_: %r" % name)
    return key + b"\0"


def is_big_pair(key, data, page_size):
    return len(key) + len(data) + PAIR_OVERHEAD > page_size * BIG_PAIR_FRACTION


class _Dbt(ctypes.Structure):
    _fields_ = [("data", ctypes.c_void_p), ("size", ctypes.c_size_t)]


class _HashInfo(ctypes.Structure):
    _fields_ = [("bsize", ctypes.c_uint), ("ffactor", ctypes.c_uint),
                ("nelem", ctypes.c_uint), ("cachesize", ctypes.c_uint),
                ("hash", ctypes.c_void_p), ("lorder", ctypes.c_int)]


class _Db(ctypes.Structure):
    pass


_CLOSE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(_Db))
_PUT = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(_Db), ctypes.POINTER(_Dbt),
                        ctypes.POINTER(_Dbt), ctypes.c_uint)
_Db._fields_ = [("type", ctypes.c_int), ("close", _CLOSE), ("delete", ctypes.c_void_p),
                ("get", ctypes.c_void_p), ("put", _PUT), ("seq", ctypes.c_void_p),
                ("sync", ctypes.c_void_p), ("internal", ctypes.c_void_p),
                ("fd", ctypes.c_void_p)]


def _library_write(path, page_size, fill_factor, expected_records, stream):
    """Runs in the child process: every (key, data) of the stream, put in order."""
    library = ctypes.CDLL(LIBDB1_PATH, use_errno=True)
    library.dbopen.restype = ctypes.POINTER(_Db)
    library.dbopen.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                               ctypes.c_void_p]
    info = _HashInfo(bsize=page_size, ffactor=fill_factor, nelem=expected_records,
                     cachesize=0, hash=None, lorder=LITTLE_ENDIAN_ORDER)
    db = library.dbopen(os.fsencode(path), os.O_RDWR | os.O_CREAT | os.O_TRUNC, 0o644,
                        DB_HASH, ctypes.byref(info))
    if not db:
        raise FatDbError("dbopen failed for %s (errno %d)" % (path, ctypes.get_errno()))
    try:
        for key, data in _read_pairs(stream):
            key_buffer = ctypes.create_string_buffer(key, len(key))
            data_buffer = ctypes.create_string_buffer(data, len(data))
            result = db.contents.put(
                db, ctypes.byref(_Dbt(ctypes.cast(key_buffer, ctypes.c_void_p), len(key))),
                ctypes.byref(_Dbt(ctypes.cast(data_buffer, ctypes.c_void_p), len(data))),
                R_NOOVERWRITE)
            if result != 0:
                raise FatDbError("put failed (%d) for key %r" % (result, key[:80]))
    finally:
        if db.contents.close(db) != 0:
            raise FatDbError("closing %s failed" % path)


def _pair_stream(pairs):
    return b"".join(struct.pack("<II", len(key), len(data)) + key + data
                    for key, data in pairs)


def _read_pairs(stream):
    while True:
        head = stream.read(8)
        if not head:
            return
        key_length, data_length = struct.unpack("<II", head)
        yield stream.read(key_length), stream.read(data_length)


def default_fill_factor(page_size):
    """Keys per bucket before the table grows: about a page of 190-byte pairs."""
    return max(4, page_size // 256)


class FatDbWriter:
    """Collects the pairs of one FAT.DB and has libdb1 write them, in the order given,
    when closed. Use as a context manager."""

    def __init__(self, path, page_size=4096, fill_factor=None, expected_records=None,
                 allow_big=False):
        if page_size not in VALID_PAGE_SIZES:
            raise FatDbError("page size %d is not one of %s" % (page_size, VALID_PAGE_SIZES))
        self.path = path
        self.page_size = page_size
        self.fill_factor = fill_factor or default_fill_factor(page_size)
        self.expected_records = expected_records or 1
        self.allow_big = allow_big
        self.pairs = []
        self.keys = set()
        self.closed = False

    def __enter__(self):
        return self

    def __exit__(self, kind, value, traceback):
        if kind is None:
            self.close()

    @property
    def count(self):
        return len(self.pairs)

    def put_raw(self, key, data, allow_big=None):
        """Store one pair as given. A key already present is an error: the index has one
        record per exact key, so the caller's description has a mistake."""
        if self.closed:
            raise FatDbError("writer is closed")
        if not (self.allow_big if allow_big is None else allow_big) and \
                is_big_pair(key, data, self.page_size):
            raise FatDbError("pair of %d bytes would be a big item at page size %d "
                             "(unreadable by a page scan): %r"
                             % (len(key) + len(data), self.page_size, key[:60]))
        if key in self.keys:
            raise FatDbError("duplicate key %r" % key[:80])
        self.keys.add(key)
        self.pairs.append((bytes(key), bytes(data)))

    def put_record(self, record, allow_big=None):
        self.put_raw(encode_key(record), encode_data(record), allow_big)

    def put_internal(self, name, data, allow_big=None):
        self.put_raw(internal_key(name), data, allow_big)

    def close(self):
        """Writes the file, then has db_dump185 read it back: every pair must be there."""
        if self.closed:
            return
        self.closed = True
        environment = dict(os.environ, GLIBC_TUNABLES=ALLOCATOR_TUNABLES)
        child = subprocess.Popen(
            [sys.executable, os.path.abspath(__file__), "--write", self.path,
             str(self.page_size), str(self.fill_factor), str(self.expected_records)],
            stdin=subprocess.PIPE, stderr=subprocess.PIPE, env=environment)
        _, errors = child.communicate(_pair_stream(self.pairs))
        if child.returncode != 0:
            raise FatDbError("writing %s failed: %s"
                             % (self.path, errors.decode(errors="replace").strip()))
        _, dumped = dump_pairs(self.path)
        if sorted(dumped) != sorted(self.pairs):
            raise FatDbError("db_dump185 read %d pairs back from %s, %d were written"
                             % (len(dumped), self.path, len(self.pairs)))


def dump_pairs(path):
    """All pairs of a hash file as db_dump185 reads them, in its (bucket) order.
    Raises FatDbError when the tool does not read the file to its end."""
    result = subprocess.run([DB_DUMP185, "-p", path], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    if result.returncode != 0:
        raise FatDbError("db_dump185 failed on %s: %s"
                         % (path, result.stderr.decode(errors="replace").strip()))
    return parse_dump(result.stdout)


def parse_dump(output):
    """Pairs and header values of `db_dump185 -p` output: ({name: value}, [(key, data)])."""
    lines = output.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    header = {}
    position = 0
    while position < len(lines) and lines[position] != b"HEADER=END":
        name, _, value = lines[position].partition(b"=")
        header[name.decode()] = value.decode()
        position += 1
    if position == len(lines):
        raise FatDbError("dump has no HEADER=END line")
    body = [line for line in lines[position + 1:] if line != b"DATA=END"]
    if len(body) % 2:
        raise FatDbError("dump ends with a key without data")
    items = [_unescape_dump_line(line) for line in body]
    return header, list(zip(items[0::2], items[1::2]))


def _unescape_dump_line(line):
    out = bytearray()
    position = 0
    while position < len(line):
        byte = line[position]
        if byte != 0x5C:
            out.append(byte)
            position += 1
        elif line[position + 1:position + 2] == b"\\":
            out.append(0x5C)
            position += 2
        else:
            out.append(int(line[position + 1:position + 3], 16))
            position += 3
    return bytes(out)


def _child_main(arguments):
    path, page_size, fill_factor, expected_records = arguments
    try:
        _library_write(path, int(page_size), int(fill_factor), int(expected_records),
                       sys.stdin.buffer)
    except FatDbError as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    if sys.argv[1:2] != ["--write"] or len(sys.argv) != 6:
        print("fatdb.py is a module; --write PATH PAGE_SIZE FILL_FACTOR NELEM is its "
              "own child process", file=sys.stderr)
        sys.exit(2)
    sys.exit(_child_main(sys.argv[2:]))
