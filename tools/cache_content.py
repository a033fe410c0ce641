"""The bytes of cached files, from the content part of a cache description.

Kinds: {"text": "..."} (written in code page 1252 unless "encoding" says otherwise),
{"text_file": "pages/a.html"} (a UTF-8 source, written like "text"),
{"bytes_file": "x.bin"} (copied as it is), {"hex": "47494638"}, {"fill": 100}
(that many filler bytes), {"gif": {...}}, {"jpeg": {...}}, {"tiff": {...}} and
{"xbm": {...}} (see pictures.py),
{"tone": {"ms": 300, "hz": 440}} (an 8-bit mono WAV), {"zip": {"NAME": "text"}}
(a stored ZIP archive). Paths are relative to the description's folder.
"""

import io
import math
import os
import struct
import zipfile
import zlib

import pictures

KINDS = ("text", "text_file", "bytes_file", "hex", "fill", "gif", "jpeg", "tiff", "xbm", "tone",
         "zip")
WAV_RATE = 11025
ZIP_DATE = (1996, 9, 12, 10, 30, 0)


class ContentError(Exception):
    pass


def tone_wav(milliseconds, frequency):
    count = WAV_RATE * milliseconds // 1000
    samples = bytes(128 + int(100 * math.sin(2 * math.pi * frequency * index / WAV_RATE))
                    for index in range(count))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + count, b"WAVE", b"fmt ", 16,
                         1, 1, WAV_RATE, WAV_RATE, 1, 8, b"data", count)
    return header + samples


def stored_zip(members):
    """Stored, with a fixed date, so the archive's bytes never change between runs."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
        for name in sorted(members):
            info = zipfile.ZipInfo(name, ZIP_DATE)
            info.create_system = 0
            archive.writestr(info, members[name].encode("cp1252"))
    return buffer.getvalue()


class ContentMaker:
    """Turns content descriptions into bytes and remembers every file it read."""

    def __init__(self, base_dir):
        self.base_dir = base_dir
        self.inputs = []

    def _read(self, relative):
        path = os.path.join(self.base_dir, relative)
        try:
            with open(path, "rb") as handle:
                data = handle.read()
        except OSError as error:
            raise ContentError("cannot read %s: %s" % (path, error.strerror))
        self.inputs.append(os.path.abspath(path))
        return data

    def make(self, content):
        kinds = [kind for kind in KINDS if kind in content]
        if len(kinds) != 1:
            raise ContentError("content needs exactly one of %s: %r" % (", ".join(KINDS), content))
        kind = kinds[0]
        value = content[kind]
        encoding = content.get("encoding", "cp1252")
        try:
            if kind == "text":
                return value.encode(encoding)
            if kind == "text_file":
                return self._read(value).decode("utf-8").encode(encoding)
            if kind == "bytes_file":
                return self._read(value)
            if kind == "hex":
                return bytes.fromhex(value)
            if kind == "fill":
                return bytes((index * 7 + 13) & 0xFF for index in range(int(value)))
            if kind == "tone":
                return tone_wav(int(value.get("ms", 300)), float(value.get("hz", 440)))
            if kind == "zip":
                return stored_zip(value)
            return pictures.picture_bytes(kind, value)
        except (UnicodeError, ValueError) as error:
            raise ContentError("%s content: %s" % (kind, error))


def default_content(url, mime_type):
    """A small, valid file of the type, for records whose content does not matter."""
    colour = "#%06x" % (zlib.crc32(url.encode("cp1252")) & 0xFFFFFF)
    mime = mime_type.lower()
    if mime == "text/html":
        return {"text": "<HTML><HEAD><TITLE>%s</TITLE></HEAD>\r\n<BODY></BODY></HTML>\r\n" % url}
    if mime == "text/plain":
        return {"text": url + "\r\n"}
    if mime == "image/gif":
        return {"gif": {"w": 16, "h": 16, "colour": colour}}
    if mime == "image/jpeg":
        return {"jpeg": {"w": 16, "h": 16, "colour": colour}}
    if mime == "image/tiff":
        return {"tiff": {"w": 16, "h": 16, "colour": colour}}
    if mime == "image/xbm":
        return {"xbm": {"w": 16, "h": 16, "colour": colour, "pattern": "checker"}}
    return {"fill": 64}
