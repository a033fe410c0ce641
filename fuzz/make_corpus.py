#!/usr/bin/env python3
"""Write the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

    /usr/bin/python3 fuzz/make_corpus.py [OUTDIR]

The index seeds are caches written by tools/make_cache.py (FAT.DB made by
the genuine hash library) from the test fixtures' descriptions, each with
the listing of its folder; the other seeds are pages and texts of the
fixtures and the cases the unit tests pin. Each seed is laid out as its
target's header comment describes. Run it again after changing a fixture
or a target's input layout; the files it writes are the corpus.
"""

import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True

FUZZ_DIR = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(FUZZ_DIR)
MAKE_CACHE = os.path.join(ROOT, "tools", "make_cache.py")

# Link options of a save: follow internal and external links of both kinds
# and replace the missing ones.
ALL_OPTIONS = 0x3F


def fixture(*parts):
    return os.path.join(ROOT, *parts)


def read(*parts):
    with open(fixture(*parts), "rb") as f:
        return f.read()


def cache_seed(description, workdir):
    """The listing of the cache folder (the names the scan sees: files whose
    names the ANSI code page holds), a NUL, then FAT.DB."""
    folder = os.path.join(workdir, "cache")
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run([sys.executable, "-B", MAKE_CACHE, description, folder], check=True,
                   stdout=subprocess.DEVNULL)
    names = []
    for name in sorted(os.listdir(folder)):
        if name == "expected.tsv" or not os.path.isfile(os.path.join(folder, name)):
            continue
        try:
            names.append(name.encode("cp1252"))
        except UnicodeEncodeError:
            continue
    with open(os.path.join(folder, "FAT.DB"), "rb") as f:
        index = f.read()
    return b"\n".join(names) + b"\0" + index


def small_cache_description(workdir):
    """A cache of small pages: several records share a page, one is the
    browser's own bookkeeping, one names a file that is not there."""
    description = {
        "page_size": 256,
        "records": [
            {"url": "http://h/d/p.htm", "accessed": 838000000},
            {"url": "http://h/d/more.htm", "accessed": 838000001},
            {"url": "http://H/d/P.htm", "accessed": 838000002},
            {"url": "http://g/i.gif", "type": "image/gif"},
            {"url": "ftp://f/pub/a.zip", "type": "application/zip", "content": {"fill": 40}},
            {"url": "http:\\\\b\\x\\y.htm"},
            {"url": "http://h/gone.htm", "missing": True},
            {"internal": "INT_CACHESIZE", "data_hex": "00a00f00"},
        ],
    }
    path = os.path.join(workdir, "small.json")
    with open(path, "w") as f:
        json.dump(description, f)
    return path


def long_prefix_description(workdir):
    """URLs of one host that agree in their first 300 characters and differ
    in case or one letter behind them: the filing's sort compares them past
    its byte-wise levels."""
    prefix = "http://h/" + "d" * 300
    tails = ["/a.htm", "/A.HTM", "/b.htm", "/a.htm?x", "/a.htm?X", "/", "/c.htm"]
    description = {
        "page_size": 4096,
        "records": [{"url": prefix + tail, "accessed": 838000000 + i} for i, tail in enumerate(tails)],
    }
    path = os.path.join(workdir, "long_prefix.json")
    with open(path, "w") as f:
        json.dump(description, f)
    return path


def index_seeds(workdir):
    descriptions = [
        ("small", small_cache_description(workdir)),
        ("long_prefix", long_prefix_description(workdir)),
        ("mixed", fixture("tests", "index", "fixtures", "mixed.json")),
        ("loading", fixture("tests", "model", "fixtures", "loading.json")),
        ("hostile_names", fixture("tests", "e2e", "caches", "hostile_names.json")),
        ("hostile_urls", fixture("tests", "e2e", "caches", "hostile_urls.json")),
    ]
    return {name: cache_seed(path, workdir) for name, path in descriptions}


def index_page_seeds(index_corpus):
    """The pages of the index seeds that hold pairs, each a seed of its own:
    the first two of every cache, in the page size its header gives."""
    seeds = {}
    for name, seed in sorted(index_corpus.items()):
        index = seed[seed.index(b"\0") + 1:]
        page_size = index[14] * 256
        pages = [index[start:start + page_size] for start in range(page_size, len(index) - page_size + 1, page_size)]
        used = [(number, page) for number, page in enumerate(pages, 1) if struct.unpack_from("<h", page)[0] > 0]
        for number, page in used[:2]:
            seeds["%s_%d" % (name, number)] = page
    return seeds


def rewrite_seed(lines, page, options=ALL_OPTIONS, folder=7, answers=0):
    return bytes([options, folder, answers]) + "\n".join(lines).encode("cp1252") + b"\0" + page


def rewrite_seeds():
    small_web = ["http://h/d/p.htm", "http://h/d/more.htm", "http://h/d/logo.gif\timage/gif",
                 "http://h/d/paper.gif\timage/gif", "http://h/d/", "=Index of d", "?more.htm", "?logo.gif",
                 "?missing.htm"]
    return {
        "small_web_p": rewrite_seed(small_web, read("tests", "extract", "fixtures", "small_web", "p.htm")),
        "small_web_more": rewrite_seed(["http://h/d/more.htm"] + small_web,
                                       read("tests", "extract", "fixtures", "small_web", "more.htm")),
        "reserved_names": rewrite_seed(
            ["http://h/index.htm", "http://h/con.htm", "http://h/Aux.", "http://h/lpt1.gif\timage/gif",
             "http://h/notes...", "!con-.htm", "?Aux-.htm"],
            read("tests", "extract", "fixtures", "reserved", "index.htm"), answers=0x1B),
        "base_applet_media": rewrite_seed(
            ["http://h/d/p.htm", "http://h/x/i.gif\timage/gif", "http://h/d/cls/A.class\tapplication/octet-stream",
             "http://h/s.mid\taudio/midi"],
            b"<BASE HREF=http://h/x/><IMG SRC=i.gif WIDTH=10><A HREF=nope.htm#t>go</A>"
            b"<applet codebase=cls code=A.class></applet><embed src=s.mid src=gone.mid loop>"
            b"<body background=b.gif bgcolor=red><td background='b.gif'><!-- <a href=x> --><comment><img src=x></comment>"
            b"\0<a href=gone.htm>\0\xff"),
        "quotes": rewrite_seed(
            ["http://h/a\"onerror=\"alert(1)/p.htm", "http://h/'q.htm", "http://h/x>y/p.htm", "http://h/prices/",
             "=Price list: 1996"],
            b"<img src=\"i.gif\"><a href=q.htm><base href=http://h/<b\"/><a href=x.htm>"
            b"<a href=p.htm#\"<x><a href=/'q.htm><a href=prices/><a href='prices/'><img src='i.gif'>"),
        "typed_name": rewrite_seed(["http://h/d/p.htm", "http://h/d/more.htm", "@missing.htm", "!missing.htm",
                                    "?more.htm"],
                                   read("tests", "extract", "fixtures", "small_web", "more.htm"), answers=0x02),
        "deep_folder": rewrite_seed(
            ["http://h/p.htm", "http://h/" + "q" * 300 + ".htm", "http://g/ext.htm", "!missing.htm"],
            b"<a href=" + b"q" * 300 + b".htm><a href=http://g/ext.htm><frame src=p.htm>", folder=200),
    }


def url_seed(base, link, title=None, choices=0):
    seed = bytes([choices]) + base.encode("cp1252") + b"\0" + link.encode("cp1252") + b"\0"
    return seed + (title.encode("cp1252") if title is not None else b"")


def url_seeds():
    return {
        "relative": url_seed("http://www.example.com/a/b/index.html?x=1#top", "../c/d.htm;p?q#f"),
        "authority": url_seed("http://guest@WWW.Example.COM:8080/dir/", "//other.example.org/x/./y/../z.htm"),
        "backslashes": url_seed("http:\\\\back.example.com\\dir\\page.htm", "sub\\page2.htm"),
        "schemes": url_seed("ftp://ftp.example.net/pub/", "mailto:webmaster@example.com", choices=0x04),
        "directory_title": url_seed("http://h/prices", "", "Price list: 1996", choices=0x03),
        "devices": url_seed("file:///C|/web/", "con.htm", choices=0x80),
        "long_name": url_seed("http://h/", "q" * 300 + ".html", choices=0x40),
        "numeric_host": url_seed("http://192.168.0.1/x", "/../../a..b/.", choices=0x20),
    }


def text_seed(words, text, html=True):
    return bytes([1 if html else 0]) + words.encode("cp1252") + b"\0" + text


def text_seeds():
    pages = ["anzeiger/index.html", "anzeiger/dezember.html"]
    seeds = {
        "entities": text_seed("a & b", b"<HTML><HEAD><TITLE>A &amp; B &lt;b&gt; &Auml;rger &#65; &#256; &times;"
                              b"</TITLE></HEAD></HTML>"),
        "blanks": text_seed("erstes zweites", b"<title>   Erstes\r\n   Zweites</title>"),
        "markup": text_seed("fett", b"<title><b>Fett</b> und <i mager</title>", html=False),
        "late_title": text_seed("", b"x" * 1100 + b"<title>late</title>"),
    }
    for page in pages:
        name = os.path.splitext(page.replace("/", "_"))[0]
        seeds[name] = text_seed("hafen schiff", read("tools", "sample-cache", "pages", page))
    return seeds


def settings_record(old=False):
    unset = 0x80000000
    words = [0x0B2170BE] + [unset] * 5 + [100, 80, 80, 80, 50, 80] + [1] + [unset] * 4 + [0, ALL_OPTIONS]
    record = struct.pack("<19I", *words)
    return record[:72] if old else record


def settings_seed(mru, hidden, url, rest, choices=0):
    parts = [mru.encode("cp1252"), "\n".join(hidden).encode("cp1252"), url.encode("cp1252")]
    return bytes([choices]) + b"\0".join(parts) + b"\0" + rest


def settings_seeds():
    hidden = ["http://www.example.com/a.htm", "hhttp://hidden.example.org/", "http://h/ trailing blank ",
              "hhttp://WWW.Example.COM/x"]
    return {
        "record": settings_seed("cba", hidden, "http://www.zebra.de/", settings_record(), choices=0x99),
        "old_record": settings_seed("abcdefghijklmnopqrstuvwxyz", hidden[:2], "file:///C|/a\\b\\\\",
                                    settings_record(old=True), choices=0x1A),
        "reply": settings_seed("", [], "http://evil.example/a b --some-option=\"x\" -P x",
                               b"\x01\x00\x00\x00,\"Navigator - [Startseite]\"", choices=0x05),
        "hand_edited": settings_seed("aa!z", ["http://h/\r\nx"], "javascript:alert(1)", b"0x1,\"\"", choices=0xE3),
    }


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(FUZZ_DIR, "corpus")
    with tempfile.TemporaryDirectory() as workdir:
        index = index_seeds(workdir)
        corpora = {
            "index": index,
            "index_page": index_page_seeds(index),
            "rewrite": rewrite_seeds(),
            "url": url_seeds(),
            "text": text_seeds(),
            "settings": settings_seeds(),
        }
    for target, seeds in corpora.items():
        folder = os.path.join(out, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, seed in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(seed)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
