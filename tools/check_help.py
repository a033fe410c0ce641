#!/usr/bin/env python3
"""Check the built help file against its source and the program's resources.

    check_help.py TARN.HLP SOURCE RESOURCES_DIR

Reads the file back as a help viewer would and checks: the internal
directory (sorted, sizes, no overlaps), the chain of topic links and the
topic block headers, that every offset in |CONTEXT, |CTXOMAP, |TTLBTREE and
the contents entry of |SYSTEM lands on a topic header, that the help ids in
the file are exactly those of the program's context help tables and each
leads to the topic the source gives it, that every jump has a target, that
the texts are stored in code page 1252, and that every text the source marks
as the program's own (**...**) is one of the texts in the resource scripts.
"""

import glob
import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import make_help  # noqa: E402
import winhelp  # noqa: E402

HELP_PAIR = re.compile(r"HELP_PAIR\(\s*\w+\s*,\s*(\d+)\s*\)")
RC_STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
BOLD = re.compile(r"\*\*(.+?)\*\*")


ALINK_MACRO = re.compile(r'AL\(\\"([A-Za-z0-9_]+)\\"')


def program_help_ids(resources):
    with open(os.path.join(resources, "tables.rc"), encoding="utf-8") as f:
        return {int(n) for n in HELP_PAIR.findall(f.read())}


def program_alinks(ui):
    """The ALink keywords of the AL() macros the program hands to the help engine."""
    keywords = set()
    for path in glob.glob(os.path.join(ui, "*.cpp")):
        with open(path, encoding="utf-8") as f:
            keywords.update(ALINK_MACRO.findall(f.read()))
    return keywords


def program_texts(resources):
    """The texts of menus, dialogs and strings, as the user reads them: without
    the "&" of mnemonics, the accelerator behind a tab, and outer blanks."""
    texts = set()
    for path in glob.glob(os.path.join(resources, "*.rc")):
        with open(path, encoding="utf-8") as f:
            for literal in RC_STRING.findall(f.read()):
                text = literal.split("\\t")[0].replace("&", "").strip()
                if text:
                    texts.add(text)
    return texts


def check(hlp_path, source_path, resources):
    problems = []
    with open(hlp_path, "rb") as f:
        help_file = winhelp.HelpFile(f.read())
    with open(source_path, encoding="utf-8") as f:
        settings, source = make_help.parse(f.read().splitlines())

    for name in ("|SYSTEM", "|FONT", "|TOPIC", "|CONTEXT", "|CTXOMAP", "|TTLBTREE"):
        if name not in help_file.names:
            problems.append("no internal file " + name)

    topics = help_file.topics()
    *real, end = topics
    if end["title"] or end["paragraphs"]:
        problems.append("the topic chain does not end with an empty topic header")
    by_offset = {t["offset"]: t for t in real}
    by_title = {t["title"]: t for t in real}

    def on_topic(offset, what):
        if offset not in by_offset:
            problems.append("%s: offset %08x is not the offset of a topic header" % (what, offset))
            return None
        return by_offset[offset]

    records = help_file.system()
    if records.get(1, [b""])[0].rstrip(b"\0") != settings["title"].encode("cp1252"):
        problems.append("|SYSTEM: the title is not the source's")
    contents = on_topic(int.from_bytes(records[3][0], "little"), "|SYSTEM contents") \
        if 3 in records else None
    if not contents or contents["title"] != source[0].title.encode("cp1252"):
        problems.append("|SYSTEM: the contents entry does not lead to the contents topic")
    if 11 not in records or records[11][0][0] != winhelp.ANSI_CHARSET:
        problems.append("|SYSTEM: the character set is not the Western one (code page 1252)")

    # Every source topic, with its title stored in code page 1252 and its
    # context filed under the topic's offset.
    contexts = help_file.contexts()
    if len(real) != len(source) or len(contexts) != len(source):
        problems.append("the file holds %d topics and %d contexts; the source has %d topics"
                        % (len(real), len(contexts), len(source)))
    for topic in source:
        stored = by_title.get(topic.title.encode("cp1252"))
        if not stored:
            problems.append("topic %r is missing or its title is stored wrongly" % topic.title)
            continue
        if contexts.get(winhelp.context_hash(topic.context)) != stored["offset"]:
            problems.append("|CONTEXT: %s does not lead to its topic" % topic.context)
    for hash_value, offset in contexts.items():
        on_topic(offset, "|CONTEXT %d" % hash_value)
    for offset in help_file.titles():
        on_topic(offset, "|TTLBTREE")
    if {o: t["title"] for o, t in by_offset.items()} != help_file.titles():
        problems.append("|TTLBTREE does not give every topic its title")

    # Help ids: exactly those of the program's tables, each to its topic.
    mapped = help_file.context_map()
    wanted = program_help_ids(resources)
    for number in sorted(wanted - set(mapped)):
        problems.append("|CTXOMAP: help id %d of the program's tables is missing" % number)
    for number in sorted(set(mapped) - wanted):
        problems.append("|CTXOMAP: help id %d is in no table of the program" % number)
    titles_by_id = {n: t.title for t in source for n in t.help_ids}
    for number, offset in sorted(mapped.items()):
        topic = on_topic(offset, "|CTXOMAP %d" % number)
        if topic and number in titles_by_id and \
                topic["title"] != titles_by_id[number].encode("cp1252"):
            problems.append("|CTXOMAP: help id %d leads to %r" % (number, topic["title"]))

    # The program's AL() macros find their topics.
    alinks = help_file.alinks()
    for keyword in sorted(program_alinks(os.path.join(os.path.dirname(resources), "ui"))):
        if keyword not in alinks:
            problems.append("|AWBTREE: the program's ALink keyword %s finds no topic" % keyword)
    for keyword, offsets in alinks.items():
        for offset in offsets:
            on_topic(offset, "|AWBTREE %s" % keyword)

    for topic in real:
        for paragraph in topic["paragraphs"]:
            for target in re.findall(r"\{(-?\d+)\}", paragraph):
                if int(target) not in contexts:
                    problems.append("a jump in %r has no target" % topic["title"])

    texts = program_texts(resources)
    for topic in source:
        for _, paragraph in topic.paragraphs:
            for text in BOLD.findall(paragraph):
                if text not in texts:
                    problems.append("%s: **%s** is no text of the program's windows"
                                    % (topic.context, text))
    return problems, len(real), len(mapped)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip().splitlines()[2].strip())
    try:
        problems, topics, ids = check(*sys.argv[1:])
    except winhelp.FormatError as error:
        problems, topics, ids = [str(error)], 0, 0
    for problem in problems:
        print("tarn.hlp: " + problem)
    if problems:
        sys.exit(1)
    print("tarn.hlp: %d topics, %d help ids, all in place" % (topics, ids))


if __name__ == "__main__":
    main()
