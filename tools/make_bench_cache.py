#!/usr/bin/env python3
"""Synthetic browser caches for benchmarks, written through fatdb (the real libdb1).

    make_bench_cache.py scan    OUTDIR [--records 20000] [--hosts 300] [--distinct-types]
    make_bench_cache.py titles  OUTDIR [--records 20000] [--html 8000] [--hosts 200]
    make_bench_cache.py extract OUTDIR [--pages 5000] [--links 40] [--pictures 5000]
    make_bench_cache.py index   OUTDIR [--pages 8000] [--links 10]
    make_bench_cache.py hosts   OUTDIR [--records 20000] [--hosts 2000] [--big-host 0]
    make_bench_cache.py search  OUTDIR [--documents 10000] [--size 10000] [--hosts 300]
common options: --page-size 4096, --seed 1996, --expected (also write expected.tsv)

scan:    documents of every kind spread over many hosts (a few large, many small),
         with ports, user names, numeric hosts, ftp and gopher, files missing, URLs
         repeated in other letter case, and the browser's INT_ records. With
         --distinct-types every record has a MIME type of its own.
titles:  HTML pages with titles (references, tags, line breaks, some beyond the
         first 1023 bytes); the other records are pictures and plain text of the
         six known types.
extract: one host; every page has about --links links (hyperlinks and pictures,
         relative, root-relative and absolute), a fifth of them to documents that
         are not cached.
index:   one host whose --pages pages are all named index.html, each in a folder of
         its own, linking to other folders (by file name or by the folder alone) and
         to pages that are not cached: every page proposes the same local name.
hosts:   the records dealt out evenly over --hosts hosts, documents of every kind;
         with --big-host N the first N records all go to one more host,
         www.zentralarchiv.de, the rest are dealt out as before.
search:  text documents (HTML and plain text) of about --size bytes each; the
         word "kolibri" is in about a fifth of them and "zeppelin" in about a
         third, independently, written in varying case, in HTML pages also
         with character references around them and inside tags.
The same arguments always give the same folder.
"""

import argparse
import calendar
import functools
import os
import random
import sys
import time

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS_DIR)
# The tools run from the source tree during builds; keep it free of bytecode caches.
sys.dont_write_bytecode = True

import fatdb  # noqa: E402
import make_cache  # noqa: E402
import pictures  # noqa: E402
import scan_oracle  # noqa: E402

FIRST_DAY = calendar.timegm((1996, 1, 1, 0, 0, 0))
LAST_DAY = calendar.timegm((1997, 6, 30, 23, 59, 59))
EXTENSIONS = dict(make_cache.EXTENSIONS, **{"application/pdf": ".pdf"})
PICTURE_KINDS = {"image/gif": "gif", "image/jpeg": "jpeg", "image/tiff": "tiff",
                 "image/xbm": "xbm"}
PALETTE = ("#1f4e8c", "#b02020", "#2a7a3a", "#d08020", "#6b7b52", "#003366", "#a07050",
           "#808080")
WORDS = ("haus", "stadt", "technik", "verlag", "kunst", "reise", "wetter", "sport",
         "firma", "netz", "daten", "bild", "buch", "musik", "auto", "werk", "hafen",
         "markt", "schule", "verein", "service", "online", "media", "soft")
TOP_LEVEL = ("de", "de", "de", "com", "org", "net", "at", "ch", "edu", "nl")
TITLE_PIECES = ("Startseite", "&Uuml;ber uns", "Gr&uuml;&szlig;e aus K&ouml;ln",
                "Produkte &amp; Preise", "<B>Neu</B> im Programm", "Caf&eacute; Europa",
                "Pr\u00e4sentation", "Stra\u00dfenbahn", "Fu&szlig;ball", "&#252;bersicht",
                "Impressum", "Archiv 1996", "&lt;Entwurf&gt;")


@functools.lru_cache(maxsize=None)
def picture(kind, width, height, colour, pattern):
    return pictures.picture_bytes(kind, {"w": width, "h": height, "colour": colour,
                                         "pattern": pattern})


class BenchCache:
    """Records and files of one synthetic cache, named like the browser names them."""

    def __init__(self, rng, page_size):
        self.rng = rng
        self.page_size = page_size
        self.records = []
        self.internal = []
        self.files = {}
        self.next_number = 0xB00000

    def file_name(self, mime_type):
        self.next_number += 1 + self.rng.randrange(3)
        return "M0%06X%s" % (self.next_number, EXTENSIONS.get(mime_type, ".dat"))

    def times(self):
        accessed = self.rng.randrange(FIRST_DAY, LAST_DAY)
        modified = accessed - self.rng.randrange(3600, 400 * 86400)
        expires = accessed + 86400 * self.rng.randrange(1, 30) if self.rng.random() < 0.1 else 0
        return max(modified, FIRST_DAY - 365 * 86400), accessed, expires

    def add(self, url, mime_type, data, missing=False, accessed=None, local_file=None):
        modified, random_accessed, expires = self.times()
        local_file = local_file or self.file_name(mime_type)
        self.records.append(fatdb.CacheRecord(
            url=url, local_file=local_file, mime_type=mime_type, last_modified=modified,
            last_accessed=random_accessed if accessed is None else accessed,
            expires=expires, content_length=len(data),
            charset="iso-8859-1" if mime_type.startswith("text/") else "binary",
            server=self.rng.choice(make_cache.SERVERS)))
        if not missing:
            self.files[local_file] = data
        return self.records[-1]

    def picture(self, mime_type, small=True):
        side = (8, 16, 24, 32) if small else (48, 64, 96)
        return picture(PICTURE_KINDS[mime_type], self.rng.choice(side), self.rng.choice(side),
                       self.rng.choice(PALETTE), self.rng.choice(pictures.PATTERNS))

    def write(self, outdir, expected):
        with make_cache.staged_folder(outdir) as staging:
            path = os.path.join(staging, scan_oracle.INDEX_NAME)
            with fatdb.FatDbWriter(path, page_size=self.page_size,
                                   expected_records=len(self.records)) as writer:
                for name, data in self.internal:
                    writer.put_internal(name, data)
                for record in self.records:
                    writer.put_record(record)
            make_cache.write_files(staging, self.files)
            rows = scan_oracle.write_expected(staging) if expected else None
        return rows


def html_page(title, body_lines, head_padding=0):
    padding = ""
    if head_padding:
        padding = "<!-- %s -->\n" % ("Platzhalter " * (head_padding // 12))
    return ("<HTML>\n<HEAD>\n%s<TITLE>%s</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n%s\n"
            "</BODY>\n</HTML>\n" % (padding, title, "\n".join(body_lines))).encode("cp1252")


def make_hosts(rng, count):
    hosts = []
    for index in range(count):
        roll = rng.random()
        word = "%s%s%d" % (rng.choice(WORDS), rng.choice(WORDS), index)
        if roll < 0.05:
            hosts.append(("http", "194.77.%d.%d" % (index // 250, index % 250 + 1)))
        elif roll < 0.12:
            hosts.append(("ftp", "ftp.%s.%s" % (word, rng.choice(TOP_LEVEL))))
        elif roll < 0.14:
            hosts.append(("gopher", "gopher.%s.%s" % (word, rng.choice(TOP_LEVEL))))
        else:
            hosts.append(("http", "www.%s.%s" % (word, rng.choice(TOP_LEVEL))))
    return hosts


def host_prefix(rng, scheme, host):
    roll = rng.random()
    if scheme == "http" and roll < 0.05:
        return "http://%s:8080" % host
    if scheme == "http" and roll < 0.07:
        return "http://gast@%s" % host
    if scheme == "http" and roll < 0.09:
        return "HTTP://%s" % host.upper()
    return "%s://%s" % (scheme, host)


def pick_type(rng, table):
    roll = rng.random()
    for mime_type, share in table:
        roll -= share
        if roll < 0:
            return mime_type
    return table[-1][0]


def content_for(cache, mime_type, url, title_index):
    if mime_type == "text/html":
        title = TITLE_PIECES[title_index % len(TITLE_PIECES)]
        return html_page("%s %d" % (title, title_index),
                         ["<H1>%s</H1>" % title, "<P>%s</P>" % url,
                          "<P><A HREF=\"index.html\">Start</A></P>"])
    if mime_type in PICTURE_KINDS:
        return cache.picture(mime_type)
    if mime_type == "text/plain":
        return ("%s\r\nText %d\r\n" % (url, title_index)).encode("cp1252")
    return bytes((index * 31 + title_index) & 0xFF for index in range(64 + title_index % 448))


SCAN_TYPES = (("text/html", 0.45), ("image/gif", 0.25), ("image/jpeg", 0.15),
              ("text/plain", 0.07), ("image/tiff", 0.01), ("image/xbm", 0.01),
              ("application/zip", 0.03), ("audio/x-wav", 0.02), ("application/pdf", 0.01))


def build_scan(cache, rng, records, host_count, distinct_types=False):
    hosts = make_hosts(rng, host_count)
    weights = [1.0 / (rank + 1) for rank in range(len(hosts))]
    cache.internal = [("INT_CACHESIZE", b"\x00\x00\xa0\x00"),
                      ("INT_NEXTFILENUM", b"\x07\xf9\xa3\x00")]
    paths = set()
    while len(cache.records) < records:
        scheme, host = rng.choices(hosts, weights)[0]
        mime_type = pick_type(rng, SCAN_TYPES)
        if distinct_types:
            mime_type = "application/x-bench-%d" % len(cache.records)
        extension = EXTENSIONS.get(mime_type, ".dat")
        path = "/%s%d/%s%d%s" % (rng.choice(WORDS), rng.randrange(20), rng.choice(WORDS),
                                 len(cache.records), extension.replace(".htm", ".html"))
        url = host_prefix(rng, scheme, host) + path
        if url.lower() in paths:
            continue
        paths.add(url.lower())
        data = content_for(cache, mime_type, url, len(cache.records))
        record = cache.add(url, mime_type, data, missing=rng.random() < 0.02)
        if rng.random() < 0.01 and len(cache.records) < records:
            twin = url[:len(url) - len(path)] + path.upper()
            cache.add(twin, mime_type, data,
                      accessed=record.last_accessed + rng.randrange(-5000, 5000))


TITLE_OTHER_TYPES = (("image/gif", 0.45), ("image/jpeg", 0.35), ("text/plain", 0.14),
                     ("image/tiff", 0.03), ("image/xbm", 0.03))


def build_titles(cache, rng, records, html, host_count):
    hosts = [host for host in make_hosts(rng, host_count) if host[0] == "http"]
    for index in range(records):
        scheme, host = rng.choice(hosts)
        if index < html:
            title = "%s %d" % (TITLE_PIECES[index % len(TITLE_PIECES)], index)
            if index % 7 == 0:
                title = "\n   %s\n\t  Teil %d  " % (title, index % 13)
            body = ["<P>Absatz %d mit Umlauten: \u00e4\u00f6\u00fc \u00df.</P>" % line
                    for line in range(rng.randrange(2, 60))]
            padding = 1100 if index % 50 == 0 else rng.randrange(0, 600)
            url = "http://%s/seiten/s%d.html" % (host, index)
            cache.add(url, "text/html", html_page(title, body, padding))
        else:
            mime_type = pick_type(rng, TITLE_OTHER_TYPES)
            url = "http://%s/dateien/d%d%s" % (host, index, EXTENSIONS[mime_type])
            cache.add(url, mime_type, content_for(cache, mime_type, url, index))


def build_extract(cache, rng, pages, links, picture_count):
    site = "http://www.grossarchiv.de"
    section_size = 50
    picture_urls = []
    for index in range(picture_count):
        mime_type = "image/gif" if index % 3 else "image/jpeg"
        url = "%s/bilder/b%d%s" % (site, index, EXTENSIONS[mime_type])
        cache.add(url, mime_type, cache.picture(mime_type))
        picture_urls.append(url)

    def page_path(number):
        return "s%d/p%d.html" % (number // section_size, number)

    for number in range(pages):
        section = number // section_size
        lines = []
        for link in range(links):
            missing = rng.random() < 0.2
            if rng.random() < 0.6:
                target = rng.randrange(pages)
                name = "fehlt%d.html" % rng.randrange(1000000) if missing else \
                    "p%d.html" % target
                target_section = target // section_size
                style = rng.randrange(4)
                if style == 0 and target_section == section:
                    href = name
                elif style == 1:
                    href = "../s%d/%s" % (target_section, name)
                elif style == 2:
                    href = "/s%d/%s" % (target_section, name)
                else:
                    href = "%s/s%d/%s" % (site, target_section, name)
                if rng.random() < 0.1:
                    href += "#abschnitt%d" % link
                lines.append("<P><A HREF=\"%s\">Verweis %d</A></P>" % (href, link))
            else:
                if missing or not picture_urls:
                    source = "../bilder/fehlt%d.gif" % rng.randrange(1000000)
                else:
                    source = rng.choice(picture_urls)[len(site):]
                    source = ".." + source if rng.random() < 0.5 else source
                lines.append("<IMG SRC=\"%s\" WIDTH=32 HEIGHT=32 ALT=\"Bild %d\">" % (source, link))
        url = "%s/%s" % (site, page_path(number))
        cache.add(url, "text/html", html_page("Archivseite %d" % number, lines))


def build_index(cache, rng, pages, links):
    site = "http://www.vielseiten.de"
    for number in range(pages):
        lines = []
        for link in range(links):
            target = rng.randrange(pages)
            roll = rng.random()
            if roll < 0.2:
                href = "../fehlt%d/index.html" % rng.randrange(1000000)
            elif roll < 0.5:
                href = "../bereich%d/" % target
            else:
                href = "../bereich%d/index.html" % target
            lines.append("<P><A HREF=\"%s\">Bereich %d</A></P>" % (href, link))
        url = "%s/bereich%d/index.html" % (site, number)
        cache.add(url, "text/html", html_page("Bereich %d" % number, lines))


BIG_HOST = ("http", "www.zentralarchiv.de")


def build_hosts(cache, rng, records, host_count, big_host):
    hosts = make_hosts(rng, host_count)
    for index in range(records):
        if index < big_host:
            scheme, host = BIG_HOST
        else:
            scheme, host = hosts[(index - big_host) % len(hosts)]
        mime_type = pick_type(rng, SCAN_TYPES)
        url = "%s://%s/%s%d/%s%d%s" % (scheme, host, rng.choice(WORDS), rng.randrange(20),
                                       rng.choice(WORDS), index,
                                       EXTENSIONS[mime_type].replace(".htm", ".html"))
        cache.add(url, mime_type, content_for(cache, mime_type, url, index),
                  missing=rng.random() < 0.01)


SEARCH_WORDS = ("kolibri", "zeppelin")
SEARCH_SHARES = (0.2, 0.33)
FILLER = ("der", "die", "das", "und", "im", "mit", "Stadt", "Hafen", "Markt", "Wetter",
          "Reise", "Verein", "Schule", "Bahnhof", "Rathaus", "Kirche", "Museum", "Garten",
          "Br\u00fccke", "Stra\u00dfe", "gr\u00fcn", "sch\u00f6n", "Fu\u00dfweg", "\u00c4rger",
          "Zeitung", "Anzeige", "Termine", "Preise", "Kontakt", "Impressum", "Archiv")
FILLER_HTML = ("Br&uuml;cke", "Stra&szlig;e", "&Auml;rger", "&amp;", "&nbsp;", "&#252;ber")


def search_paragraphs(rng, html):
    """A few hundred paragraphs of about 400 bytes, made once and then combined."""
    paragraphs = []
    for _ in range(300):
        words = [rng.choice(FILLER + FILLER_HTML if html else FILLER) for _ in range(60)]
        text = " ".join(words)
        paragraphs.append("<P>%s</P>\n" % text if html else text + "\r\n")
    return paragraphs


def search_word(rng, word, html):
    spelt = rng.choice((word, word.upper(), word.capitalize()))
    if html and rng.random() < 0.3:
        return "<A HREF=\"%s.html\">%s</A>" % (word, spelt)
    return spelt


def build_search(cache, rng, documents, size, host_count):
    hosts = [host for host in make_hosts(rng, host_count) if host[0] == "http"]
    pieces = {True: search_paragraphs(rng, True), False: search_paragraphs(rng, False)}
    for index in range(documents):
        html = rng.random() < 0.7
        body = rng.choices(pieces[html], k=max(1, size // 400))
        for word, share in zip(SEARCH_WORDS, SEARCH_SHARES):
            if rng.random() < share:
                at = rng.randrange(len(body))
                body[at] = body[at] + search_word(rng, word, html) + (" " if html else "\r\n")
        scheme, host = rng.choice(hosts)
        if html:
            url = "http://%s/text/t%d.html" % (host, index)
            data = html_page("Dokument %d" % index, body)
            cache.add(url, "text/html", data)
        else:
            url = "http://%s/text/t%d.txt" % (host, index)
            cache.add(url, "text/plain", "".join(body).encode("cp1252"))


def main(argv):
    parser = argparse.ArgumentParser(description="Write a synthetic browser cache.")
    parser.add_argument("kind", choices=("scan", "titles", "extract", "index", "hosts", "search"))
    parser.add_argument("outdir")
    parser.add_argument("--records", type=int, default=20000)
    parser.add_argument("--hosts", type=int, default=None)
    parser.add_argument("--html", type=int, default=8000)
    parser.add_argument("--pages", type=int, default=5000)
    parser.add_argument("--links", type=int, default=40)
    parser.add_argument("--pictures", type=int, default=5000)
    parser.add_argument("--big-host", type=int, default=0)
    parser.add_argument("--documents", type=int, default=10000)
    parser.add_argument("--size", type=int, default=10000)
    parser.add_argument("--page-size", type=int, default=4096)
    parser.add_argument("--seed", type=int, default=1996)
    parser.add_argument("--distinct-types", action="store_true",
                        help="scan: a MIME type of its own for every record")
    parser.add_argument("--expected", action="store_true",
                        help="also write expected.tsv (slower for large caches)")
    arguments = parser.parse_args(argv)
    rng = random.Random(arguments.seed)
    cache = BenchCache(rng, arguments.page_size)
    started = time.time()
    if arguments.kind == "scan":
        build_scan(cache, rng, arguments.records, arguments.hosts or 300,
                   arguments.distinct_types)
    elif arguments.kind == "titles":
        build_titles(cache, rng, arguments.records, min(arguments.html, arguments.records),
                     arguments.hosts or 200)
    elif arguments.kind == "index":
        build_index(cache, rng, arguments.pages, arguments.links)
    elif arguments.kind == "hosts":
        build_hosts(cache, rng, arguments.records, arguments.hosts or 2000, arguments.big_host)
    elif arguments.kind == "search":
        build_search(cache, rng, arguments.documents, arguments.size, arguments.hosts or 300)
    else:
        build_extract(cache, rng, arguments.pages, arguments.links, arguments.pictures)
    try:
        rows = cache.write(arguments.outdir, arguments.expected)
    except (fatdb.FatDbError, make_cache.DescriptionError, scan_oracle.OracleError) as error:
        print("make_bench_cache: %s" % error, file=sys.stderr)
        return 1
    print("make_bench_cache: %s: %d records, %d files%s in %.1f s"
          % (arguments.outdir, len(cache.records) + len(cache.internal), len(cache.files),
             "" if rows is None else ", %d documents expected" % len(rows),
             time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
