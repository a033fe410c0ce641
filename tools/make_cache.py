#!/usr/bin/env python3
"""Write a browser cache folder (FAT.DB, the cached files, expected.tsv) from a JSON
description.

    make_cache.py DESCRIPTION.json OUTDIR [--depfile FILE]

Description (every field but "records" and a document's "url" may be left out):
{
  "page_size": 4096,            hash page size: 256, 512, ... 32768
  "fill_factor": 16,            keys per bucket before the table grows
  "expected_records": 1000,     size hint: the table starts with room for this many
  "records": [                  put into the index in this order
    {"url": "http://h/a.htm",   the key's URL, as the browser wrote it
     "file": "M0A1B2C3.htm",    local file name in the record (default: M0 + hex + ext)
     "disk_name": "m0a1b2c3.HTM",  name of the written file (default: "file")
     "type": "text/html",       MIME type (default text/html)
     "modified": "1996-07-21 13:05:00", "accessed": 838213500, "expires": 0,
                                UTC as "YYYY-MM-DD[ HH:MM[:SS]]" or seconds (default 0)
     "length": 1234,            content length (default: the content's size)
     "charset": "iso-8859-1", "content_encoding": "identity", "server": "Apache/1.1.1",
                                the record's 2nd to 4th variable fields
     "content": {"text_file": "pages/a.html"},   the file's bytes: one of the kinds
                                of cache_content.py (text, text_file, bytes_file, hex,
                                fill, gif, jpeg, tiff, xbm, tone, zip); default: a
                                small file of the type
     "missing": true,           write the record but not the file
     "key_length_field": 7, "record_length_field": 9,   wrong length words
     "allow_big": true},        allow a pair the library stores out of the pages
    {"internal": "INT_CACHESIZE", "data_hex": "00a00f00"},
    {"key_hex": "...", "data_hex": "..."}               any pair, as given
  ],
  "extra_files": [{"name": "STRAY.TXT", "content": {...}}],  files not in the index
  "directories": ["SUBDIR"]     directories inside the cache folder
}
"""

import argparse
import calendar
import contextlib
import json
import os
import shutil
import sys
import time
import zlib

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS_DIR)
# The tools run from the source tree during builds; keep it free of bytecode caches.
sys.dont_write_bytecode = True

import cache_content  # noqa: E402
import fatdb  # noqa: E402
import pictures  # noqa: E402
import scan_oracle  # noqa: E402

TOOL_MODULES = ("make_cache.py", "cache_content.py", "fatdb.py", "pictures.py",
                "scan_oracle.py")
EXTENSIONS = {"text/html": ".htm", "text/plain": ".txt", "image/gif": ".gif",
              "image/jpeg": ".jpg", "image/tiff": ".tif", "image/xbm": ".xbm",
              "application/zip": ".zip", "audio/x-wav": ".wav",
              "application/octet-stream": ".exe"}
SERVERS = ("Apache/1.1.1", "NCSA/1.5.2", "Netscape-Communications/1.12", "CERN/3.0",
           "Microsoft-IIS/2.0", "WebSTAR/1.2.5")
FIRST_AUTO_NAME = 0xA10000
TIME_FORMATS = ("%Y-%m-%d %H:%M:%S", "%Y-%m-%d %H:%M", "%Y-%m-%d")


class DescriptionError(Exception):
    pass


def parse_time(value, field):
    if value is None:
        return 0
    if isinstance(value, int):
        return value
    text = str(value).replace("T", " ").rstrip("Z").strip()
    for pattern in TIME_FORMATS:
        try:
            return calendar.timegm(time.strptime(text, pattern))
        except ValueError:
            pass
    raise DescriptionError("%s: not a time: %r" % (field, value))


class CacheFolder:
    """The files of the folder being written, by name; case-insensitive clashes are
    errors because the browser's file system would hold only one of them."""

    def __init__(self):
        self.files = {}
        self.explicit = set()

    def add(self, name, data, explicit=True):
        """Explicit content always lands; a default content never replaces a file
        that another record or extra file already gave."""
        if not name or "/" in name or "\\" in name or name in (".", ".."):
            raise DescriptionError("not a plain file name: %r" % name)
        same = [known for known in self.files if known.lower() == name.lower()]
        if same and same[0] != name:
            raise DescriptionError("file names %r and %r differ only in letter case"
                                   % (same[0], name))
        if name in self.explicit:
            if explicit and self.files[name] != data:
                raise DescriptionError("two different contents for file %r" % name)
            return
        if explicit or name not in self.files:
            self.files[name] = data
        if explicit:
            self.explicit.add(name)


def _server_for(url):
    host = url.split("//", 1)[1].split("/", 1)[0] if "//" in url else ""
    return SERVERS[zlib.crc32(host.lower().encode("cp1252")) % len(SERVERS)]


def document_record(entry, index, contents, folder):
    url = entry["url"]
    mime_type = entry.get("type", "text/html")
    local_file = entry.get("file") or "M0%06X%s" % (
        FIRST_AUTO_NAME + index, EXTENSIONS.get(mime_type.lower(), ".dat"))
    disk_name = entry.get("disk_name", local_file)
    explicit = "content" in entry
    data = contents.make(entry["content"] if explicit
                         else cache_content.default_content(url, mime_type))
    if not entry.get("missing", False):
        folder.add(disk_name, data, explicit)
    length = entry.get("length", len(data))
    is_text = mime_type.lower().startswith("text/")
    return fatdb.CacheRecord(
        url=url, local_file=local_file, mime_type=mime_type,
        last_modified=parse_time(entry.get("modified"), url + " modified"),
        last_accessed=parse_time(entry.get("accessed"), url + " accessed"),
        expires=parse_time(entry.get("expires"), url + " expires"),
        content_length=length,
        charset=entry.get("charset", "iso-8859-1" if is_text else "binary"),
        content_encoding=entry.get("content_encoding", "identity"),
        server=entry.get("server", _server_for(url)),
        key_length_field=entry.get("key_length_field"),
        record_length_field=entry.get("record_length_field"))


def write_index(description, path, contents, folder):
    entries = description.get("records", [])
    with fatdb.FatDbWriter(path, page_size=description.get("page_size", 4096),
                           fill_factor=description.get("fill_factor"),
                           expected_records=description.get("expected_records")) as writer:
        for index, entry in enumerate(entries):
            allow_big = entry.get("allow_big", False)
            if "url" in entry:
                writer.put_record(document_record(entry, index, contents, folder), allow_big)
            elif "internal" in entry:
                writer.put_internal(entry["internal"], bytes.fromhex(entry.get("data_hex", "")),
                                    allow_big)
            elif "key_hex" in entry:
                writer.put_raw(bytes.fromhex(entry["key_hex"]),
                               bytes.fromhex(entry.get("data_hex", "")), allow_big)
            else:
                raise DescriptionError("record %d has no url, internal or key_hex" % index)


@contextlib.contextmanager
def staged_folder(outdir):
    """Yields a fresh sibling folder to build in and puts it in OUTDIR's place when the
    block succeeds. An existing OUTDIR is only replaced when it is empty or holds a
    FAT.DB, so a mistyped path cannot wipe unrelated files."""
    outdir = os.path.abspath(outdir)
    if os.path.exists(outdir):
        if not os.path.isdir(outdir):
            raise DescriptionError("%s exists and is not a folder" % outdir)
        if os.listdir(outdir) and not os.path.exists(os.path.join(outdir, scan_oracle.INDEX_NAME)):
            raise DescriptionError("%s is not empty and holds no FAT.DB; not replacing it" % outdir)
    staging = "%s.building-%d" % (outdir, os.getpid())
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    try:
        yield staging
        shutil.rmtree(outdir, ignore_errors=True)
        os.rename(staging, outdir)
    finally:
        shutil.rmtree(staging, ignore_errors=True)


def write_files(folder, files):
    for name, data in sorted(files.items()):
        if name.lower() == scan_oracle.INDEX_NAME.lower():
            raise DescriptionError("a cached file cannot be named %s" % name)
        with open(os.path.join(folder, name), "wb") as handle:
            handle.write(data)


def build_cache(description_path, outdir):
    """Writes the folder; returns (rows of expected.tsv, files the description read)."""
    with open(description_path, "rb") as handle:
        try:
            description = json.loads(handle.read().decode("utf-8"))
        except ValueError as error:
            raise DescriptionError("%s: %s" % (description_path, error))
    contents = cache_content.ContentMaker(os.path.dirname(os.path.abspath(description_path)))
    folder = CacheFolder()
    with staged_folder(outdir) as staging:
        write_index(description, os.path.join(staging, scan_oracle.INDEX_NAME), contents, folder)
        for extra in description.get("extra_files", []):
            if "name" not in extra:
                raise DescriptionError("an extra file needs a name: %r" % (extra,))
            folder.add(extra["name"], contents.make(extra.get("content", {"fill": 32})))
        write_files(staging, folder.files)
        for name in description.get("directories", []):
            os.makedirs(os.path.join(staging, name))
        rows = scan_oracle.write_expected(staging)
    return rows, [os.path.abspath(description_path)] + contents.inputs


def _depfile_path(path):
    return path.replace("\\", "/").replace(" ", "\\ ").replace("#", "\\#")


def write_depfile(depfile, outdir, inputs):
    tools = [os.path.join(TOOLS_DIR, name) for name in TOOL_MODULES]
    target = os.path.join(os.path.abspath(outdir), scan_oracle.EXPECTED_NAME)
    with open(depfile, "w") as handle:
        handle.write("%s: \\\n  %s\n" % (_depfile_path(target), " \\\n  ".join(
            _depfile_path(path) for path in sorted(set(inputs)) + tools)))


def main(argv):
    parser = argparse.ArgumentParser(description="Write a browser cache folder from a "
                                                 "JSON description.")
    parser.add_argument("description")
    parser.add_argument("outdir")
    parser.add_argument("--depfile", help="write the files read, for the build system")
    arguments = parser.parse_args(argv)
    try:
        rows, inputs = build_cache(arguments.description, arguments.outdir)
    except (DescriptionError, cache_content.ContentError, fatdb.FatDbError,
            pictures.PictureError, scan_oracle.OracleError, UnicodeEncodeError) as error:
        print("make_cache: %s" % error, file=sys.stderr)
        return 1
    if arguments.depfile:
        write_depfile(arguments.depfile, arguments.outdir, inputs)
    print("make_cache: %s: %d documents expected" % (arguments.outdir, len(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
