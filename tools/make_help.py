#!/usr/bin/env python3
"""Build the program's help file from its source text.

    make_help.py SOURCE OUT.hlp [--contents OUT.cnt] [--topics OUT.txt]

The source is UTF-8 text; the help file stores it in code page 1252, and a
character outside that code page stops the build.

    # a comment line
    %title Tarnview-Hilfe              the help file's title
    = Inhalt {inhalt}                  the contents topic (exactly one, first)
    == Das Hauptfenster {hauptfenster} a topic of level 2 ...
    === Suchen nach {suchen_nach} [41] ... and of level 3, with its help ids
    == Speichern {speichern} <SAVEDLG> a topic that the ALink keyword SAVEDLG finds

A topic's body is paragraphs separated by blank lines; a line beginning with
"- " starts a bulleted paragraph. Inside a paragraph, **Text** is a text of
the program's own windows (menu items, dialog captions, buttons), shown in
bold, and [[Text|context]] or [[context]] jumps to another topic. A topic
that has topics below it ends with a list of jumps to them; a topic of level 3
ends with a jump to the topic above it.

--contents writes the contents file that WinHelp shows under "Inhalt";
--topics writes "help id<TAB>title" lines (and "contents<TAB>title") in code
page 1252, for the test that opens every topic.
"""

import argparse
import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import winhelp  # noqa: E402

# 21.07.1996, the date of the program's version: the file does not change
# from one build to the next.
GEN_DATE = 837907200

FONT_NORMAL, FONT_BOLD, FONT_TITLE = 0, 1, 2
SPACE_BELOW = 12
BULLET_INDENT = 36

HEADING = re.compile(r"^(=+)\s+(.+?)\s+\{([A-Za-z0-9_.]+)\}(?:\s+\[([0-9,\s]+)\])?"
                     r"(?:\s+<([A-Za-z0-9_,\s]+)>)?\s*$")
INLINE = re.compile(r"\*\*(.+?)\*\*|\[\[(?:([^|\]]+)\|)?([A-Za-z0-9_.]+)\]\]")


class SourceError(Exception):
    pass


class SourceTopic:
    def __init__(self, level, title, context, help_ids, line, alinks=()):
        self.level = level
        self.title = title
        self.context = context
        self.help_ids = help_ids
        self.alinks = list(alinks)
        self.line = line
        self.paragraphs = []      # (kind, text): kind "text" or "bullet"
        self.children = []
        self.parent = None


def parse(lines):
    """The source's settings and its topics in order."""
    settings = {}
    topics = []
    current = None
    paragraph = None

    def close_paragraph():
        nonlocal paragraph
        if paragraph is not None:
            current.paragraphs.append((paragraph[0], " ".join(paragraph[1])))
            paragraph = None

    for number, raw in enumerate(lines, 1):
        line = raw.rstrip()
        if line.startswith("#"):
            continue
        if line.startswith("%"):
            key, _, value = line[1:].partition(" ")
            settings[key] = value.strip()
            continue
        heading = HEADING.match(line)
        if heading:
            if current is not None:
                close_paragraph()
            ids = [int(n) for n in re.split(r"[,\s]+", heading.group(4).strip())] \
                if heading.group(4) else []
            alinks = [k for k in re.split(r"[,\s]+", heading.group(5).strip())] \
                if heading.group(5) else []
            current = SourceTopic(len(heading.group(1)), heading.group(2), heading.group(3),
                                  ids, number, alinks)
            topics.append(current)
            continue
        if line.startswith("="):
            raise SourceError("line %d: a heading needs a title and a {context}" % number)
        if not line.strip():
            if current is not None:
                close_paragraph()
            continue
        if current is None:
            raise SourceError("line %d: text before the first topic" % number)
        if line.startswith("- "):
            close_paragraph()
            paragraph = ("bullet", [line[2:].strip()])
        elif paragraph is None:
            paragraph = ("text", [line.strip()])
        else:
            paragraph[1].append(line.strip())
    if current is not None:
        close_paragraph()

    if not topics or topics[0].level != 1 or any(t.level == 1 for t in topics[1:]):
        raise SourceError("the first topic, and only it, must be the contents (level 1)")
    stack = [topics[0]]
    for topic in topics[1:]:
        while stack and stack[-1].level >= topic.level:
            stack.pop()
        if not stack or topic.level != stack[-1].level + 1:
            raise SourceError("line %d: heading level skips a level" % topic.line)
        topic.parent = stack[-1]
        stack[-1].children.append(topic)
        stack.append(topic)
    return settings, topics


def render_inline(paragraph, text, titles):
    """Adds text with its bold UI texts and jumps to a writer paragraph."""
    pos = 0
    for match in INLINE.finditer(text):
        paragraph.add_text(text[pos:match.start()])
        if match.group(1) is not None:
            paragraph.font(FONT_BOLD)
            paragraph.add_text(match.group(1))
            paragraph.font(FONT_NORMAL)
        else:
            context = match.group(3)
            if context not in titles:
                raise SourceError("jump to an unknown topic: " + context)
            paragraph.begin_jump(context)
            paragraph.add_text(match.group(2) or titles[context])
            paragraph.end_jump()
        pos = match.end()
    paragraph.add_text(text[pos:])


def text_paragraph(text, titles, bullet=False):
    if bullet:
        p = winhelp.Paragraph(space_below=SPACE_BELOW // 2, left_indent=BULLET_INDENT,
                              first_line_indent=-BULLET_INDENT // 2, tab_stops=[BULLET_INDENT])
    else:
        p = winhelp.Paragraph(space_below=SPACE_BELOW)
    p.font(FONT_NORMAL)
    if bullet:
        p.add_text("\u2022")
        p.tab()
    render_inline(p, text, titles)
    return p


def build(settings, topics):
    title = settings.get("title")
    if not title:
        raise SourceError("the source gives no %title")
    writer = winhelp.HelpFileWriter(title, settings.get("copyright", ""), GEN_DATE)
    writer.add_font(winhelp.Font("Arial", 20))
    writer.add_font(winhelp.Font("Arial", 20, winhelp.FONT_BOLD))
    writer.add_font(winhelp.Font("Arial", 24, winhelp.FONT_BOLD))
    titles = {t.context: t.title for t in topics}
    if len(titles) != len(topics):
        raise SourceError("a context name is used twice")
    # A title names its topic in the contents, the history and the test that
    # opens every topic: no two may be alike.
    if len(set(titles.values())) != len(topics):
        raise SourceError("two topics have the same title")
    for source in topics:
        topic = winhelp.Topic(source.context, source.title, source.help_ids, source.alinks)
        heading = winhelp.Paragraph(space_below=SPACE_BELOW)
        heading.font(FONT_TITLE)
        heading.add_text(source.title)
        topic.non_scrolling.append(heading)
        for kind, text in source.paragraphs:
            topic.scrolling.append(text_paragraph(text, titles, kind == "bullet"))
        for child in source.children:
            topic.scrolling.append(text_paragraph("[[%s]]" % child.context, titles, True))
        if source.level >= 3:
            topic.scrolling.append(
                text_paragraph("Siehe auch: [[%s]]" % source.parent.context, titles))
        writer.add_topic(topic)
    writer.contents_topic = writer.topics[0]
    return writer


def contents_file(settings, topics, help_name):
    """The contents file: the contents topic, then a book for each topic of
    level 2 that has topics below it."""
    lines = [":Base " + help_name, ":Title " + settings["title"]]

    def entry(level, text, context=None):
        text = text.replace("=", "\\=")
        lines.append("%d %s%s" % (level, text, "=" + context if context else ""))

    entry(1, topics[0].title, topics[0].context)

    def walk(topic, level):
        if topic.children:
            entry(level, topic.title)
            entry(level + 1, topic.title, topic.context)
            for child in topic.children:
                walk(child, level + 1)
        else:
            entry(level, topic.title, topic.context)

    for topic in topics[0].children:
        walk(topic, 1)
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--contents")
    parser.add_argument("--topics")
    args = parser.parse_args()
    try:
        with open(args.source, encoding="utf-8") as f:
            settings, topics = parse(f.read().splitlines())
        writer = build(settings, topics)
        writer.write(args.output)
        if args.contents:
            with open(args.contents, "wb") as f:
                f.write(contents_file(settings, topics, os.path.basename(args.output)))
        if args.topics:
            lines = ["contents\t" + topics[0].title]
            lines += ["%d\t%s" % (n, t.title) for t in topics for n in t.help_ids]
            with open(args.topics, "wb") as f:
                f.write(("\n".join(lines) + "\n").encode("cp1252"))
    except (SourceError, ValueError, UnicodeEncodeError) as error:
        sys.exit("%s: %s" % (args.source, error))


if __name__ == "__main__":
    main()
