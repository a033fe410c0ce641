#!/usr/bin/env python3
"""./tarn run on a cache of the user's own, as a user starts it.

Usage: run_command_test.py SOURCE_DIR BUILD_ROOT

The cache is written outside the build tree by the fixture builder. Each run
saves a screenshot and, for this test, the window's folder tree read back
through tarnctl. The runs share one prefix of their own, so that the test
sees what a second run finds of the first.
"""
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE, BUILD = sys.argv[1], sys.argv[2]
TARN = os.path.join(SOURCE, "tarn")

OWN_CACHE = """{
  "page_size": 1024,
  "records": [
    {"url": "http://www.eigener-cache.de/", "file": "M0F10001.htm", "accessed": "1997-03-02 10:00:00",
     "content": {"text": "<html><head><title>Eigene Seite</title></head><body>Eigen</body></html>"}},
    {"url": "http://archiv.beispiel.net/liste.htm", "file": "M0F10002.htm", "accessed": "1997-03-03 11:00:00",
     "content": {"text": "<html><head><title>Archiv</title></head><body>Liste</body></html>"}}
  ]
}
"""
OWN_HOSTS = {"www.eigener-cache.de", "archiv.beispiel.net"}
SAMPLE_HOST = "www.brandtmeier.de"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message, file=sys.stderr)


def run(work, *options):
    """Runs ./tarn run with a screenshot; its exit status, its stderr and the tree's labels."""
    shot = os.path.join(work, "shot.png")
    tree = os.path.join(work, "tree.txt")
    for path in (shot, tree):
        if os.path.exists(path):
            os.remove(path)
    env = dict(os.environ, TARN_BUILD_DIR=BUILD, TARN_RUN_PREFIX=os.path.join(work, "prefix"), TARN_RUN_TREE=tree)
    result = subprocess.run([TARN, "run", *options, "--screenshot", shot], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    labels = set()
    if os.path.exists(tree):
        with open(tree, "rb") as f:
            labels = {line.strip() for line in f.read().decode("cp1252").splitlines() if line.strip()}
    picture = os.path.exists(shot) and open(shot, "rb").read(8) == b"\x89PNG\r\n\x1a\n"
    return result.returncode, result.stderr.decode("utf-8", "replace"), labels, picture


def write_own_cache(work):
    description = os.path.join(work, "cache.json")
    with open(description, "w") as f:
        f.write(OWN_CACHE)
    cache = os.path.join(work, "Eigener Cache")
    subprocess.run([sys.executable, "-B", os.path.join(SOURCE, "tools", "make_cache.py"), description, cache],
                   check=True, stdout=subprocess.DEVNULL)
    return cache


def test_own_cache_kept_between_runs(work):
    cache = write_own_cache(work)
    status, errors, labels, picture = run(work, "--cache", cache)
    check(status == 0, "--cache: exit status %d\n%s" % (status, errors))
    check(picture, "--cache: no screenshot")
    check(OWN_HOSTS <= labels and SAMPLE_HOST not in labels, "--cache: the tree shows %s" % sorted(labels))

    # The choice is the program's own setting: the next run finds it.
    status, errors, labels, _ = run(work)
    check(status == 0, "second run: exit status %d\n%s" % (status, errors))
    check(OWN_HOSTS <= labels, "second run: the tree shows %s" % sorted(labels))

    status, errors, labels, _ = run(work, "--fresh")
    check(status == 0, "--fresh: exit status %d\n%s" % (status, errors))
    check(SAMPLE_HOST in labels and not OWN_HOSTS & labels, "--fresh: the tree shows %s" % sorted(labels))

    # FAT.DB is read, never written.
    check(os.path.exists(os.path.join(cache, "FAT.DB")), "the cache lost its FAT.DB")


def test_no_cache_in_dir(work):
    empty = os.path.join(work, "leer")
    os.mkdir(empty)
    broken = os.path.join(work, "kaputt")
    os.mkdir(broken)
    with open(os.path.join(broken, "FAT.DB"), "wb") as f:
        f.write(b"\x00" * 4096)
    for folder, said in ((empty, "holds no FAT.DB"), (broken, "is no cache index"),
                         (os.path.join(work, "fehlt"), "is no folder")):
        status, errors, labels, picture = run(work, "--cache", folder)
        last = errors.strip().splitlines()[-1] if errors.strip() else ""
        check(status != 0, "%s: exit status 0" % folder)
        check(said in last, "%s: the last line says %r" % (folder, last))
        check(not picture and not labels, "%s: Tarnview started" % folder)


def main():
    work = tempfile.mkdtemp(prefix="tarn-own-cache-")
    try:
        test_no_cache_in_dir(work)
        test_own_cache_kept_between_runs(work)
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.path.join(work, "prefix")),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d check(s) failed" % len(failures), file=sys.stderr)
        return 1
    print("./tarn run --cache: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
