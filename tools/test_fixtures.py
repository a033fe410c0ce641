#!/usr/bin/env python3
"""Self-test of the cache fixture tools: python3 tools/test_fixtures.py"""

import io
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS_DIR)
# The tools run from the source tree during builds; keep it free of bytecode caches.
sys.dont_write_bytecode = True

import fatdb  # noqa: E402
import make_cache  # noqa: E402
import pictures  # noqa: E402
import scan_oracle  # noqa: E402
from PIL import Image  # noqa: E402

OVERFLOW_MARKER = 0


def record(url, local_file, **fields):
    return fatdb.CacheRecord(url=url, local_file=local_file, **fields)


def write_index(path, pairs, page_size=4096, **options):
    with fatdb.FatDbWriter(path, page_size=page_size, **options) as writer:
        for key, data in pairs:
            writer.put_raw(key, data)


def overflow_links(raw, page_size):
    """Pairs whose data offset is the hash file's overflow-page marker."""
    links = 0
    for start in range(page_size, len(raw) - page_size + 1, page_size):
        count = struct.unpack_from("<h", raw, start)[0]
        if 0 < count < page_size // 2 and count % 2 == 0:
            words = struct.unpack_from("<%dH" % count, raw, start + 2)
            links += sum(1 for index in range(1, count, 2)
                         if words[index] == OVERFLOW_MARKER and words[index - 1] > 3)
    return links


def live_offset(raw, page_size, needle):
    """File offset of the one copy of needle inside a page's item area. Bucket splits
    leave stale copies of moved items in the free space between the offset table and
    the page's OFFSET word, the hash library's own mark of where live items begin."""
    found = []
    start = raw.find(needle)
    while start >= 0:
        page = start - start % page_size
        count = struct.unpack_from("<h", raw, page)[0]
        if count >= 0 and 2 * (count + 3) <= page_size:
            items_begin = struct.unpack_from("<H", raw, page + 2 * (count + 2))[0]
            if start % page_size >= items_begin:
                found.append(start)
        start = raw.find(needle, start + 1)
    assert len(found) == 1, (needle, found)
    return found[0]


class TempDirTest(unittest.TestCase):
    def setUp(self):
        self._temp = tempfile.TemporaryDirectory(prefix="fixtures-test-")
        self.dir = self._temp.name

    def tearDown(self):
        self._temp.cleanup()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def build(self, description, name="cache"):
        description_path = self.path(name + ".json")
        with open(description_path, "w", encoding="utf-8") as handle:
            json.dump(description, handle)
        rows, _ = make_cache.build_cache(description_path, self.path(name))
        return rows


class IndexFileTest(TempDirTest):
    def test_every_page_size_writes_a_readable_file_with_the_size_in_the_header(self):
        for page_size in (256, 512, 1024, 4096, 8192, 32768):
            with self.subTest(page_size=page_size):
                path = self.path("FAT%d.DB" % page_size)
                pairs = [(fatdb.encode_key(record("http://h%d/p%d.htm" % (n % 7, n), "F%d" % n)),
                          fatdb.encode_data(record("http://h/p%d.htm" % n, "F%d" % n)))
                         for n in range(150)]
                write_index(path, pairs, page_size)
                with open(path, "rb") as handle:
                    header = handle.read(16)
                self.assertEqual(header[0:4], b"\x00\x06\x15\x61")
                self.assertEqual(struct.unpack(">I", header[12:16])[0], page_size)
                self.assertEqual(header[14] * 256, page_size)
                _, dumped = fatdb.dump_pairs(path)
                self.assertEqual(sorted(dumped), sorted(pairs))
                found = scan_oracle.page_pairs(open(path, "rb").read(), page_size)
                self.assertEqual(sorted((key, data) for _, key, data in found), sorted(pairs))

    def test_small_pages_spill_into_overflow_pages_that_a_page_scan_still_reaches(self):
        path = self.path("FAT.DB")
        pairs = [(fatdb.encode_key(record("http://www.host%d.de/seite%d.html" % (n % 5, n), "x")),
                  fatdb.encode_data(record("u", "M0%06X.htm" % n))) for n in range(4000)]
        write_index(path, pairs, page_size=256, fill_factor=64)
        raw = open(path, "rb").read()
        self.assertGreater(overflow_links(raw, 256), 10)
        _, dumped = fatdb.dump_pairs(path)
        self.assertEqual(len(dumped), 4000)
        found = scan_oracle.page_pairs(raw, 256)
        self.assertEqual({key for _, key, _ in found}, {key for key, _ in pairs})

    def test_same_pairs_give_the_same_bytes(self):
        pairs = [(fatdb.encode_key(record("http://h/%d" % n, "F")), b"d" * (n % 90 + 4))
                 for n in range(700)]
        for name in ("A.DB", "B.DB"):
            write_index(self.path(name), pairs, page_size=1024)
        self.assertEqual(open(self.path("A.DB"), "rb").read(), open(self.path("B.DB"), "rb").read())

    def test_writer_refuses_duplicate_keys_and_big_pairs(self):
        writer = fatdb.FatDbWriter(self.path("FAT.DB"), page_size=256)
        writer.put_raw(b"INT_A\0", b"1")
        with self.assertRaises(fatdb.FatDbError):
            writer.put_raw(b"INT_A\0", b"2")
        with self.assertRaises(fatdb.FatDbError):
            writer.put_raw(b"INT_B\0", b"x" * 200)
        writer.put_raw(b"INT_C\0", b"x" * 200, allow_big=True)
        writer.close()
        self.assertEqual(len(fatdb.dump_pairs(self.path("FAT.DB"))[1]), 2)
        with self.assertRaises(fatdb.FatDbError):
            fatdb.FatDbWriter(self.path("X.DB"), page_size=300)


class RecordLayoutTest(TempDirTest):
    def test_key_and_record_read_back_at_the_documented_offsets(self):
        original = record("http://www.example.de/\xe4rger.html", "M0ABCDEF.htm",
                          mime_type="text/html", last_modified=820454400,
                          last_accessed=850000000, expires=-1, content_length=4711,
                          charset="windows-1252", content_encoding="x-gzip",
                          server="NCSA/1.5.2")
        path = self.path("FAT.DB")
        with fatdb.FatDbWriter(path, page_size=512) as writer:
            writer.put_record(original)
        (key, data), = fatdb.dump_pairs(path)[1]

        self.assertEqual(struct.unpack_from("<I", key, 0)[0], len(key))
        self.assertEqual(key[8:], "http://www.example.de/\xe4rger.html".encode("cp1252") + b"\0")

        self.assertEqual(struct.unpack_from("<I", data, 0)[0], len(data))
        self.assertEqual(struct.unpack_from("<iiii", data, 8), (820454400, 850000000, -1, 4711))
        l1 = struct.unpack_from("<I", data, 29)[0]
        self.assertEqual(data[33:33 + l1], b"M0ABCDEF.htm\0")
        l2 = struct.unpack_from("<I", data, 50 + l1)[0]
        self.assertEqual(data[54 + l1:54 + l1 + l2], b"windows-1252\0")
        l3 = struct.unpack_from("<I", data, 54 + l1 + l2)[0]
        self.assertEqual(data[58 + l1 + l2:58 + l1 + l2 + l3], b"x-gzip\0")
        l4 = struct.unpack_from("<I", data, 62 + l1 + l2 + l3)[0]
        self.assertEqual(data[66 + l1 + l2 + l3:66 + l1 + l2 + l3 + l4], b"NCSA/1.5.2\0")
        mime = 70 + l1 + l2 + l3 + l4
        self.assertEqual(data[mime:data.index(b"\0", mime)], b"text/html")
        self.assertLess(data.index(b"\0", mime), len(data))
        self.assertTrue(all(length > 1 for length in (l2, l3, l4)))

        parsed = scan_oracle.parse_record(data)
        self.assertEqual(parsed["lengths"], (l1, l2, l3, l4))
        self.assertEqual(parsed["mime_offset"], mime)

    def test_records_whose_fields_leave_the_item_are_not_parsed(self):
        data = fatdb.encode_data(record("u", "F.HTM"))
        self.assertIsNotNone(scan_oracle.parse_record(data))
        cut = data[:-8]
        self.assertIsNone(scan_oracle.parse_record(struct.pack("<I", len(cut)) + cut[4:]))
        huge_l1 = bytearray(data)
        huge_l1[29:33] = struct.pack("<I", 5000)
        self.assertIsNone(scan_oracle.parse_record(bytes(huge_l1)))


class ExpectedScanTest(TempDirTest):
    def test_kept_records_follow_the_scan_rules(self):
        rows = self.build({"page_size": 512, "records": [
            {"internal": "INT_CACHESIZE", "data_hex": "00100000"},
            {"url": "http://h/kept.htm", "file": "KEPT.HTM", "accessed": 10},
            {"url": "http://h/gone.htm", "file": "GONE.HTM", "missing": True},
            {"url": "http:\\\\h\\dir\\back.htm", "file": "BACK.HTM"},
            {"url": "about:logo", "file": "LOGO.GIF", "type": "image/gif"},
            {"url": "www.noscheme.de/x.htm", "file": "NOSCHEME.HTM"},
            {"url": "http://u@H.example:81/p.htm", "file": "PORT.HTM", "type": "TEXT/HTML"},
            {"url": "http://h/case.htm", "file": "lower.htm", "disk_name": "LOWER.HTM"},
            {"url": "http://h/badkey.htm", "file": "BADKEY.HTM", "key_length_field": 9},
            {"url": "http://h/baddata.htm", "file": "BADDATA.HTM", "record_length_field": 9},
            {"url": "http://h/odd.zip", "file": "ODD.ZIP", "type": "Application/ZIP"},
        ]})
        by_url = {row[0]: row for row in rows}
        self.assertEqual(set(by_url), {b"http://h/kept.htm", b"http://h/dir/back.htm",
                                       b"http://u@H.example:81/p.htm", b"http://h/case.htm",
                                       b"http://h/odd.zip"})
        self.assertEqual(by_url[b"http://u@H.example:81/p.htm"][7], b"H.example")
        self.assertEqual(by_url[b"http://u@H.example:81/p.htm"][2], b"text/html")
        self.assertEqual(by_url[b"http://h/odd.zip"][2], b"Application/ZIP")
        self.assertEqual(by_url[b"http://h/case.htm"][1], b"lower.htm")
        self.assertEqual(by_url[b"http://h/kept.htm"][4], 10)

    def test_newest_of_urls_equal_ignoring_case_wins_and_ties_go_to_the_later_record(self):
        for accessed_first, accessed_second in ((200, 100), (100, 200), (150, 150)):
            with self.subTest(times=(accessed_first, accessed_second)):
                rows = self.build({"page_size": 256, "records": [
                    {"url": "http://H/Doc.htm", "file": "ONE.HTM", "accessed": accessed_first},
                    {"url": "http://h/doc.HTM", "file": "TWO.HTM", "accessed": accessed_second}]
                    + [{"url": "http://h/f%d.htm" % n, "file": "F%d.HTM" % n}
                       for n in range(40)]})
                twins = [row for row in rows if row[0].lower() == b"http://h/doc.htm"]
                self.assertEqual(len(twins), 1)
                if accessed_first != accessed_second:
                    self.assertEqual(twins[0][4], max(accessed_first, accessed_second))
                else:
                    raw = open(self.path("cache", "FAT.DB"), "rb").read()
                    twins_in_index = ((b"http://H/Doc.htm", b"ONE.HTM"),
                                      (b"http://h/doc.HTM", b"TWO.HTM"))
                    later = max(twins_in_index,
                                key=lambda pair: live_offset(raw, 256, pair[0] + b"\0"))
                    self.assertEqual(twins[0][1], later[1])

    def test_rows_come_in_file_order_and_expected_tsv_escapes_texts(self):
        rows = self.build({"page_size": 256, "records": [
            {"url": "http://h/p%d.htm" % n, "file": "P%d.HTM" % n} for n in range(60)]
            + [{"url": "http://h/tab\there.htm", "file": "TAB.HTM"}]})
        raw = open(self.path("cache", "FAT.DB"), "rb").read()
        offsets = [live_offset(raw, 256, row[0] + b"\0") for row in rows]
        self.assertEqual(offsets, sorted(offsets))
        lines = open(self.path("cache", "expected.tsv"), "rb").read().splitlines()
        body = [line for line in lines if not line.startswith(b"#")]
        self.assertEqual(len(body), 61)
        self.assertTrue(all(line.count(b"\t") == 7 for line in body))
        self.assertIn(b"http://h/tab\\there.htm", b"\n".join(body))

    def test_big_items_are_in_the_dump_but_not_expected(self):
        rows = self.build({"page_size": 256, "records": [
            {"url": "http://h/small.htm", "file": "S.HTM"},
            {"url": "http://h/" + "long/" * 30 + "big.htm", "file": "B.HTM", "allow_big": True}]})
        self.assertEqual(len(fatdb.dump_pairs(self.path("cache", "FAT.DB"))[1]), 2)
        self.assertEqual([row[0] for row in rows], [b"http://h/small.htm"])


class CacheFolderTest(TempDirTest):
    def test_same_description_gives_the_same_folder(self):
        description = {"page_size": 1024, "records": [
            {"url": "http://h/%d.gif" % n, "type": "image/gif",
             "accessed": "1996-07-%02d" % (n % 28 + 1)} for n in range(120)]}
        self.build(description, "one")
        self.build(description, "two")
        names = sorted(os.listdir(self.path("one")))
        self.assertEqual(names, sorted(os.listdir(self.path("two"))))
        for name in names:
            self.assertEqual(open(self.path("one", name), "rb").read(),
                             open(self.path("two", name), "rb").read(), name)

    def test_output_folder_that_is_no_cache_is_never_replaced(self):
        os.makedirs(self.path("cache"))
        open(self.path("cache", "notes.txt"), "w").close()
        with self.assertRaises(make_cache.DescriptionError):
            self.build({"records": []})
        self.assertTrue(os.path.exists(self.path("cache", "notes.txt")))

    def test_description_mistakes_are_reported(self):
        for records in ([{"url": "http://h/a", "file": "A.HTM"},
                         {"url": "http://h/b", "file": "a.htm"}],
                        [{"url": "http://h/a", "file": "A.HTM", "content": {"text": "1"}},
                         {"url": "http://h/b", "file": "A.HTM", "content": {"text": "2"}}],
                        [{"url": "http://h/a", "file": "..\\A.HTM"}],
                        [{"url": "http://h/a", "accessed": "gestern"}]):
            with self.subTest(records=records):
                with self.assertRaises(make_cache.DescriptionError):
                    self.build({"records": records})

    def test_sample_cache_is_a_rich_web(self):
        rows, inputs = make_cache.build_cache(
            os.path.join(TOOLS_DIR, "sample-cache", "cache.json"), self.path("sample"))
        self.assertGreaterEqual(len(rows), 50)
        hosts = {row[7].lower() for row in rows}
        self.assertGreaterEqual(len(hosts), 6)
        urls = [row[0] for row in rows]
        self.assertTrue(any(url.startswith(b"ftp://") for url in urls))
        self.assertTrue(any(url.startswith(b"gopher://") for url in urls))
        self.assertTrue(any(b"@" in url for url in urls))
        self.assertTrue(any(b":8080/" in url for url in urls))
        self.assertGreater(len(inputs), 30)
        types = {row[2] for row in rows}
        self.assertTrue({b"text/html", b"text/plain", b"image/gif", b"image/jpeg"} <= types)
        self.assertTrue(types - set(t.encode() for t in scan_oracle.KNOWN_TYPES))
        _, dumped = fatdb.dump_pairs(self.path("sample", "FAT.DB"))
        self.assertGreater(len(dumped), len(rows) + 3)

    def test_bench_generator_writes_a_scannable_cache(self):
        tool = os.path.join(TOOLS_DIR, "make_bench_cache.py")
        for kind, options in (("scan", ["--records", "400", "--hosts", "20"]),
                              ("titles", ["--records", "200", "--html", "80"]),
                              ("extract", ["--pages", "40", "--links", "10", "--pictures", "30"])):
            with self.subTest(kind=kind):
                outdir = self.path(kind)
                subprocess.run([sys.executable, tool, kind, outdir, "--page-size", "1024",
                                "--expected"] + options, check=True, stdout=subprocess.DEVNULL)
                rows = scan_oracle.expected_rows(outdir)
                self.assertGreater(len(rows), 0)
                if kind == "scan":
                    self.assertLess(len(rows), 400)


def jpeg_segments(data):
    assert data[:2] == b"\xff\xd8" and data[-2:] == b"\xff\xd9"
    segments = []
    position = 2
    while True:
        marker = data[position + 1]
        length = struct.unpack_from(">H", data, position + 2)[0]
        segments.append((marker, data[position + 4:position + 2 + length]))
        position += 2 + length
        if marker == 0xDA:
            return segments, data[position:-2]


class PictureTest(unittest.TestCase):
    def test_gif_keeps_every_colour_as_drawn(self):
        for description in ({"w": 1, "h": 1}, {"w": 37, "h": 21, "pattern": "checker"},
                            {"w": 120, "h": 90, "pattern": "gradient"}):
            with self.subTest(description=description):
                data = pictures.picture_bytes("gif", description)
                self.assertEqual(data[:6], b"GIF89a")
                drawn = pictures.render(description)
                decoded = Image.open(io.BytesIO(data))
                self.assertEqual(decoded.size, drawn.size)
                self.assertEqual(list(decoded.convert("RGB").getdata()), list(drawn.getdata()))

    def test_jpeg_is_a_complete_baseline_file(self):
        data = pictures.picture_bytes("jpeg", {"w": 21, "h": 13, "pattern": "checker"})
        segments, entropy = jpeg_segments(data)
        markers = [marker for marker, _ in segments]
        self.assertEqual(markers[0], 0xE0)
        self.assertEqual(markers.count(0xDB), 2)
        self.assertEqual(markers.count(0xC4), 4)
        frame = dict(segments)[0xC0]
        self.assertEqual(struct.unpack_from(">BHHB", frame), (8, 13, 21, 3))
        for marker, payload in segments:
            if marker == 0xC4:
                self.assertEqual(sum(payload[1:17]), len(payload) - 17)
        stuffed = [entropy[index + 1] for index in range(len(entropy) - 1)
                   if entropy[index] == 0xFF]
        self.assertEqual(set(stuffed) - {0}, set())

    def test_tiff_and_xbm_headers(self):
        tiff = pictures.picture_bytes("tiff", {"w": 5, "h": 3})
        self.assertEqual(tiff[:4], b"II*\0")
        directory = struct.unpack_from("<I", tiff, 4)[0]
        entries = struct.unpack_from("<H", tiff, directory)[0]
        pixel_offset = dict((tag, value) for tag, _, _, value in (
            struct.unpack_from("<HHII", tiff, directory + 2 + 12 * index)
            for index in range(entries)))[273]
        self.assertEqual(len(tiff) - pixel_offset, 5 * 3 * 3)
        # Black in columns 0-3 and 8, white in 4-7: the set bits are the dark
        # pixels, the leftmost pixel in the lowest bit.
        xbm = pictures.picture_bytes("xbm", {"w": 9, "h": 2, "colour": "#000000",
                                             "pattern": "checker"}).decode()
        self.assertTrue(xbm.startswith("#define im_width 9\n#define im_height 2\n"))
        self.assertEqual(xbm.count("0x"), 4)
        self.assertIn("0x0f,0x01,0x0f,0x01", xbm)


if __name__ == "__main__":
    unittest.main()
