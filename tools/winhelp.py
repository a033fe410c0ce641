"""Windows Help files (.hlp, version 4 layout, uncompressed): a writer and a reader.

A help file is a small file system: a 16-byte header, internal files each
behind a 9-byte file header, and a directory of them kept as a B+ tree
sorted by name. The internal files written here:

  |SYSTEM    title, copyright, contents topic, locale and character set
  |FONT      face names and font descriptors
  |TOPIC     4096-byte blocks holding a chain of topic links: a topic header
             (record type 2) followed by its paragraphs (record type 0x20)
  |CONTEXT   B+ tree: hash of a context name -> topic offset
  |CTXOMAP   help ids (the numbers a program passes to WinHelp) -> topic offset
  |TTLBTREE  B+ tree: topic offset -> topic title
  |AWBTREE   B+ tree: ALink keyword -> count and position in |AWDATA
  |AWDATA    the topic offsets of the ALink keywords, keyword after keyword

A topic offset counts the text characters of the paragraphs before a link
within its topic block: block * 0x8000 + characters. A topic position is the
byte position of a link: block * 0x4000 + position in the block, the block's
12-byte header included. Texts are bytes in code page 1252.
"""

import struct

FILE_MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
SYSTEM_MAGIC = 0x036C
SYSTEM_MINOR = 33          # the layout of WinHelp 4
TOPIC_BLOCK_SIZE = 4096
TOPIC_BLOCK_HEADER = 12
LINK_HEADER = 21
TOPIC_HEADER_SIZE = 28
FILE_HEADER = 9
DIRECTORY_PAGE_SIZE = 0x400
BTREE_PAGE_SIZE = 0x800
NONE = 0xFFFFFFFF

RECORD_TOPIC_HEADER = 2
RECORD_TEXT = 0x20

# Formatting commands in a paragraph's first data part.
CMD_FONT = 0x80
CMD_END_PARAGRAPH = 0x82
CMD_TAB = 0x83
CMD_END_HOTSPOT = 0x89
CMD_JUMP = 0xE3
CMD_END = 0xFF

# Paragraph attribute bits, in the order their values follow the bits.
PARA_SPACE_ABOVE = 0x0002
PARA_SPACE_BELOW = 0x0004
PARA_LEFT_INDENT = 0x0010
PARA_FIRST_LINE_INDENT = 0x0040
PARA_TABS = 0x0200
PARA_VALUE_BITS = (PARA_SPACE_ABOVE, PARA_SPACE_BELOW, 0x0008, PARA_LEFT_INDENT, 0x0020,
                   PARA_FIRST_LINE_INDENT)

FONT_BOLD = 0x01
FAMILY_SWISS = 3

ANSI_CHARSET = 0
LANG_GERMAN = 0x0407


def context_hash(name):
    """The hash under which a context name is filed in |CONTEXT (32-bit, signed)."""
    value = 0
    for ch in name:
        if "A" <= ch <= "Z" or "a" <= ch <= "z":
            code = ord(ch.upper()) - ord("A") + 17
        elif "1" <= ch <= "9":
            code = ord(ch) - ord("0")
        elif ch == "0":
            code = 10
        elif ch == ".":
            code = 12
        elif ch == "_":
            code = 13
        else:
            raise ValueError("context names use letters, digits, '.' and '_': %r" % name)
        value = (value * 43 + code) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


# --- compressed numbers of the paragraph data --------------------------------

def cushort(value):
    if not 0 <= value <= 0x7FFF:
        raise ValueError(value)
    return bytes([value * 2]) if value <= 0x7F else struct.pack("<H", value * 2 + 1)


def csshort(value):
    if -0x40 <= value <= 0x3F:
        return bytes([(value + 0x40) * 2])
    return struct.pack("<H", (value + 0x4000) * 2 + 1)


def cslong(value):
    if -0x4000 <= value <= 0x3FFF:
        return struct.pack("<H", (value + 0x4000) * 2)
    return struct.pack("<I", ((value + 0x40000000) * 2 + 1) & 0xFFFFFFFF)


def read_cushort(data, pos):
    if data[pos] & 1:
        return struct.unpack_from("<H", data, pos)[0] // 2, pos + 2
    return data[pos] // 2, pos + 1


def read_csshort(data, pos):
    if data[pos] & 1:
        return struct.unpack_from("<H", data, pos)[0] // 2 - 0x4000, pos + 2
    return data[pos] // 2 - 0x40, pos + 1


def read_cslong(data, pos):
    if data[pos] & 1:
        return struct.unpack_from("<I", data, pos)[0] // 2 - 0x40000000, pos + 4
    return struct.unpack_from("<H", data, pos)[0] // 2 - 0x4000, pos + 2


# --- writer ------------------------------------------------------------------

class Paragraph:
    """One paragraph: its attributes and a stream of texts and commands."""

    def __init__(self, space_below=0, left_indent=0, first_line_indent=0, tab_stops=()):
        self.values = {}
        if space_below:
            self.values[PARA_SPACE_BELOW] = space_below
        if left_indent:
            self.values[PARA_LEFT_INDENT] = left_indent
        if first_line_indent:
            self.values[PARA_FIRST_LINE_INDENT] = first_line_indent
        self.tab_stops = list(tab_stops)
        self.commands = bytearray()
        self.text = bytearray()

    def _command(self, command):
        # Every command is announced by the zero that ends the text before it.
        self.text.append(0)
        self.commands += command

    def font(self, index):
        self._command(bytes([CMD_FONT]) + struct.pack("<H", index))

    def add_text(self, text):
        data = text.encode("cp1252")
        if b"\0" in data:
            raise ValueError("zero byte in help text")
        self.text += data

    def tab(self):
        self._command(bytes([CMD_TAB]))

    def begin_jump(self, context):
        self._command(bytes([CMD_JUMP]) + struct.pack("<i", context_hash(context)))

    def end_jump(self):
        self._command(bytes([CMD_END_HOTSPOT]))

    def link_data(self):
        """LinkData1 and LinkData2 of the paragraph's topic link."""
        bits = 0
        values = b""
        for bit in PARA_VALUE_BITS:
            if bit in self.values:
                bits |= bit
                values += csshort(self.values[bit])
        if self.tab_stops:
            bits |= PARA_TABS
            values += csshort(len(self.tab_stops))
            for stop in self.tab_stops:
                values += cushort(stop)
        text = bytes(self.text) + b"\0\0"
        body = bytes([0x00, 0x80]) + struct.pack("<HH", 0, bits) + values
        body += bytes(self.commands) + bytes([CMD_END_PARAGRAPH, CMD_END])
        return cslong(len(body)) + cushort(len(text)) + body, text


class Topic:
    def __init__(self, context, title, help_ids=(), alinks=()):
        self.context = context
        self.title = title
        self.help_ids = list(help_ids)
        self.alinks = list(alinks)  # keywords of the AL() macro that find this topic
        self.non_scrolling = []     # the title region, which does not scroll
        self.scrolling = []
        self.offset = None          # topic offset, known once the file is laid out


class Font:
    def __init__(self, face, half_points, attributes=0, family=FAMILY_SWISS):
        self.face = face
        self.half_points = half_points
        self.attributes = attributes
        self.family = family


class _Link:
    def __init__(self, record_type, data1, data2, chars=0):
        self.record_type = record_type
        self.data1 = data1
        self.data2 = data2
        self.chars = chars          # text characters counted by topic offsets
        self.position = 0           # topic position
        self.offset = 0             # topic offset

    @property
    def size(self):
        return LINK_HEADER + len(self.data1) + len(self.data2)


def _build_btree(flags, page_size, structure, entries, leaf, index):
    """A B+ tree internal file. entries are sorted; leaf(e) and index(e) give an
    entry's bytes on a leaf page and its key on an index page."""
    pages = []                  # bytes of each page
    firsts = []                 # first entry of each page, for the level above
    level = []
    page, used, count = bytearray(), 8, 0

    def close_leaf(last):
        unused = page_size - used
        header = struct.pack("<Hhhh", unused, count, len(pages) - 1 if pages else -1,
                             -1 if last else len(pages) + 1)
        pages.append(header + bytes(page) + bytes(unused))

    start = 0
    for i, entry in enumerate(entries):
        data = leaf(entry)
        if used + len(data) > page_size:
            close_leaf(False)
            level.append(len(pages) - 1)
            firsts.append(entries[start])
            page, used, count, start = bytearray(), 8, 0, i
        page += data
        used += len(data)
        count += 1
    close_leaf(True)
    level.append(len(pages) - 1)
    firsts.append(entries[start])
    levels = 1
    while len(level) > 1:
        levels += 1
        upper, upper_firsts = [], []
        i = 0
        while i < len(level):
            body = bytearray()
            used = 6
            first_child = level[i]
            upper_firsts.append(firsts[i])
            i += 1
            count = 0
            while i < len(level):
                key = index(firsts[i]) + struct.pack("<H", level[i])
                if used + len(key) > page_size:
                    break
                body += key
                used += len(key)
                count += 1
                i += 1
            unused = page_size - used
            pages.append(struct.pack("<HhH", unused, count, first_child) + bytes(body)
                         + bytes(unused))
            upper.append(len(pages) - 1)
        level, firsts = upper, upper_firsts
    header = struct.pack("<HHH", BTREE_MAGIC, flags, page_size)
    header += structure.encode("ascii").ljust(16, b"\0")
    header += struct.pack("<hhhhhhi", 0, len(pages) - levels, len(pages) - 1, -1, len(pages),
                          levels, len(entries))
    return header + b"".join(pages)


class HelpFileWriter:
    def __init__(self, title, copyright_text="", gen_date=0):
        self.title = title
        self.copyright = copyright_text
        self.gen_date = gen_date
        self.fonts = []
        self.topics = []
        self.contents_topic = None

    def add_font(self, font):
        self.fonts.append(font)
        return len(self.fonts) - 1

    def add_topic(self, topic):
        if any(t.context == topic.context for t in self.topics):
            raise ValueError("context used twice: " + topic.context)
        self.topics.append(topic)
        return topic

    # -- |TOPIC ---------------------------------------------------------------

    def _links(self):
        links = []
        headers = []
        for topic in self.topics:
            title = topic.title.encode("cp1252")
            header = _Link(RECORD_TOPIC_HEADER, bytes(TOPIC_HEADER_SIZE), title)
            links.append(header)
            headers.append((topic, header, len(links)))
            for paragraph in topic.non_scrolling + topic.scrolling:
                data1, data2 = paragraph.link_data()
                links.append(_Link(RECORD_TEXT, data1, data2, len(data2)))
        # The chain ends with an empty topic header, as the help compiler's does.
        end = _Link(RECORD_TOPIC_HEADER, bytes(TOPIC_HEADER_SIZE), b"")
        links.append(end)
        return links, headers, end

    @staticmethod
    def _lay_out(links):
        block, pos, chars = 0, TOPIC_BLOCK_HEADER, 0
        for link in links:
            link.position = block * 0x4000 + pos
            link.offset = block * 0x8000 + chars
            chars += link.chars
            pos += link.size
            # A link that reaches the end of a block exactly leaves the next
            # one to begin behind the following block's header.
            while pos >= TOPIC_BLOCK_SIZE:
                block += 1
                chars = 0
                pos = pos - TOPIC_BLOCK_SIZE + TOPIC_BLOCK_HEADER

    def _topic_file(self):
        links, headers, end = self._links()
        self._lay_out(links)
        for number, (topic, header, first) in enumerate(headers):
            count = len(topic.non_scrolling) + len(topic.scrolling)
            paragraphs = links[first:first + count]
            nsr = paragraphs[0].position if topic.non_scrolling else NONE
            scroll = paragraphs[len(topic.non_scrolling)].position if topic.scrolling else NONE
            following = links[first + count]
            size = sum(p.size for p in paragraphs)
            header.data1 = struct.pack("<IIIIIII", size, NONE, NONE, number, nsr, scroll,
                                       following.position)
            topic.offset = header.offset
        end.data1 = struct.pack("<IIIIIII", 0, NONE, NONE, len(headers), NONE, NONE, NONE)

        # The stream of links, cut into blocks, each behind its header: the last
        # link begun before the block, the first link begun in it, and the last
        # topic header begun before it.
        stream = bytearray()
        for i, link in enumerate(links):
            previous = links[i - 1].position if i else NONE
            following = links[i + 1].position if i + 1 < len(links) else NONE
            stream += struct.pack("<IIIIIB", link.size, len(link.data2), previous, following,
                                  LINK_HEADER + len(link.data1), link.record_type)
            stream += link.data1 + link.data2
        data_size = TOPIC_BLOCK_SIZE - TOPIC_BLOCK_HEADER
        blocks = (len(stream) + data_size - 1) // data_size
        out = bytearray()
        for b in range(blocks):
            begun_before = [l for l in links if l.position >> 14 < b]
            begun_in = [l for l in links if l.position >> 14 == b]
            headers_before = [l for l in begun_before if l.record_type == RECORD_TOPIC_HEADER]
            out += struct.pack("<III", begun_before[-1].position if begun_before else NONE,
                               begun_in[0].position if begun_in else NONE,
                               headers_before[-1].position if headers_before else NONE)
            chunk = stream[b * data_size:(b + 1) * data_size]
            # The last block is filled up: readers take topic blocks whole.
            out += chunk + bytes(data_size - len(chunk))
        return bytes(out)

    # -- the other internal files -----------------------------------------------

    def _system_file(self, contents_offset):
        def record(kind, data):
            return struct.pack("<HH", kind, len(data)) + data

        data = struct.pack("<HHHIH", SYSTEM_MAGIC, SYSTEM_MINOR, 1, self.gen_date, 0)
        data += record(1, self.title.encode("cp1252") + b"\0")
        if self.copyright:
            data += record(2, self.copyright.encode("cp1252") + b"\0")
        data += record(3, struct.pack("<I", contents_offset))
        data += record(9, bytes(8) + struct.pack("<H", LANG_GERMAN))
        data += record(11, bytes([ANSI_CHARSET, 0, 0, 2, 0]))
        return data

    def _font_file(self):
        faces = []
        for font in self.fonts:
            if font.face not in faces:
                faces.append(font.face)
        face_size = 32
        data = struct.pack("<HHHH", len(faces), len(self.fonts), 8, 8 + face_size * len(faces))
        for face in faces:
            data += face.encode("ascii").ljust(face_size, b"\0")
        for font in self.fonts:
            data += struct.pack("<BBBH", font.attributes, font.half_points, font.family,
                                faces.index(font.face)) + bytes(6)
        return data

    def _context_file(self):
        entries = sorted((context_hash(t.context), t.offset) for t in self.topics)
        for a, b in zip(entries, entries[1:]):
            if a[0] == b[0]:
                raise ValueError("two context names share a hash")
        return _build_btree(0x0002, BTREE_PAGE_SIZE, "L4", entries,
                            lambda e: struct.pack("<iI", *e), lambda e: struct.pack("<i", e[0]))

    def _map_file(self):
        entries = sorted((number, t.offset) for t in self.topics for number in t.help_ids)
        for a, b in zip(entries, entries[1:]):
            if a[0] == b[0]:
                raise ValueError("help id %d given to two topics" % a[0])
        return struct.pack("<H", len(entries)) + b"".join(struct.pack("<iI", *e) for e in entries)

    def _title_file(self):
        entries = sorted((t.offset, t.title.encode("cp1252")) for t in self.topics)
        return _build_btree(0x0002, BTREE_PAGE_SIZE, "Lz", entries,
                            lambda e: struct.pack("<I", e[0]) + e[1] + b"\0",
                            lambda e: struct.pack("<I", e[0]))

    def _alink_files(self):
        """|AWBTREE and |AWDATA, or none when no topic has an ALink keyword.
        Keywords are compared without regard to case, as the help engine does."""
        keywords = {}
        for topic in self.topics:
            for keyword in topic.alinks:
                keywords.setdefault(keyword.upper(), (keyword, []))[1].append(topic.offset)
        if not keywords:
            return {}
        entries = []
        data = bytearray()
        for key in sorted(keywords):
            keyword, offsets = keywords[key]
            entries.append((keyword.encode("cp1252"), len(offsets), len(data)))
            for offset in sorted(offsets):
                data += struct.pack("<I", offset)
        tree = _build_btree(0x0002, BTREE_PAGE_SIZE, "i24", entries,
                            lambda e: e[0] + b"\0" + struct.pack("<HI", e[1], e[2]),
                            lambda e: e[0] + b"\0")
        return {"|AWBTREE": tree, "|AWDATA": bytes(data)}

    def write(self, path):
        if self.contents_topic is None:
            raise ValueError("no contents topic")
        topic = self._topic_file()
        files = {
            "|CONTEXT": self._context_file(),
            "|CTXOMAP": self._map_file(),
            "|FONT": self._font_file(),
            "|SYSTEM": self._system_file(self.contents_topic.offset),
            "|TOPIC": topic,
            "|TTLBTREE": self._title_file(),
        }
        files.update(self._alink_files())
        names = sorted(files, key=lambda n: n.encode("ascii"))
        body = bytearray()
        offsets = []
        position = 16
        for name in names:
            data = files[name]
            offsets.append((name.encode("ascii"), position))
            body += struct.pack("<IIB", len(data) + FILE_HEADER, len(data), 4) + data
            position += FILE_HEADER + len(data)
        directory = _build_btree(0x0402, DIRECTORY_PAGE_SIZE, "z4", offsets,
                                 lambda e: e[0] + b"\0" + struct.pack("<I", e[1]),
                                 lambda e: e[0] + b"\0")
        directory_start = position
        body += struct.pack("<IIB", len(directory) + FILE_HEADER, len(directory), 4) + directory
        total = 16 + len(body)
        with open(path, "wb") as out:
            out.write(struct.pack("<IIiI", FILE_MAGIC, directory_start, -1, total))
            out.write(body)


# --- reader ------------------------------------------------------------------

class FormatError(Exception):
    pass


def _require(condition, message):
    if not condition:
        raise FormatError(message)


class BTree:
    """A B+ tree internal file, read and checked: header, levels, page links."""

    def __init__(self, data, name):
        _require(len(data) >= 38, name + ": too short for a B+ tree")
        (magic, self.flags, self.page_size) = struct.unpack_from("<HHH", data, 0)
        _require(magic == BTREE_MAGIC, name + ": bad B+ tree magic")
        self.structure = data[6:22].rstrip(b"\0").decode("ascii", "replace")
        (_, _, self.root, _, self.page_count, self.levels,
         self.entry_count) = struct.unpack_from("<hhhhhhi", data, 22)
        self.name = name
        self.pages = data[38:]
        _require(self.page_size > 8 and len(self.pages) == self.page_count * self.page_size,
                 name + ": page count does not match the file size")
        _require(0 <= self.root < self.page_count and self.levels >= 1,
                 name + ": bad root page or level count")

    def page(self, number):
        _require(0 <= number < self.page_count, "%s: page %d out of range" % (self.name, number))
        return self.pages[number * self.page_size:(number + 1) * self.page_size]

    def leaves(self, parse_entry):
        """Every leaf entry in order, through the first leaf and the next-page links."""
        number = self.root
        for _ in range(self.levels - 1):
            number = struct.unpack_from("<H", self.page(number), 4)[0]
        entries = []
        seen = set()
        previous = -1
        while number != 0xFFFF:
            _require(number not in seen, self.name + ": leaf pages form a loop")
            seen.add(number)
            page = self.page(number)
            unused, count, back, forward = struct.unpack_from("<HhhH", page, 0)
            _require(back == previous, self.name + ": a leaf's previous-page link is wrong")
            pos = 8
            for _ in range(count):
                entry, pos = parse_entry(page, pos)
                _require(pos <= self.page_size, self.name + ": leaf entry beyond its page")
                entries.append(entry)
            _require(self.page_size - pos == unused, self.name + ": a leaf's free space is wrong")
            previous, number = number, forward
        _require(len(entries) == self.entry_count, self.name + ": entry count does not match")
        return entries


def _zstring(data, pos):
    end = data.index(b"\0", pos)
    return data[pos:end], end + 1


class HelpFile:
    """A help file read back, with every structural fault raised as FormatError."""

    def __init__(self, data):
        self.data = data
        _require(len(data) >= 16, "shorter than the file header")
        magic, directory_start, _, total = struct.unpack_from("<IIiI", data, 0)
        _require(magic == FILE_MAGIC, "bad file magic")
        _require(total == len(data), "the header's file size is not the file's size")
        self.directory_start = directory_start
        directory = self._file_at(directory_start, "directory")
        self.directory = BTree(directory, "directory")
        names = self.directory.leaves(self._directory_entry)
        self.names = [n for n, _ in names]
        self.offsets = dict(names)
        _require(all(a < b for a, b in zip(self.names, self.names[1:])),
                 "the directory is not sorted by name")
        spans = sorted((o, o + self._reserved(o)) for o in
                       list(self.offsets.values()) + [directory_start])
        _require(spans[0][0] >= 16 and spans[-1][1] <= len(data), "an internal file lies outside")
        for (_, end), (start, _) in zip(spans, spans[1:]):
            _require(end <= start, "two internal files overlap")
        for name, offset in self.offsets.items():
            self._file_at(offset, name)

    @staticmethod
    def _directory_entry(page, pos):
        name, pos = _zstring(page, pos)
        return (name.decode("cp1252"), struct.unpack_from("<I", page, pos)[0]), pos + 4

    def _reserved(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def _file_at(self, offset, name):
        _require(offset + FILE_HEADER <= len(self.data), name + ": header outside the file")
        reserved, used, _ = struct.unpack_from("<IIB", self.data, offset)
        _require(reserved >= used + FILE_HEADER, name + ": used space exceeds reserved space")
        _require(offset + reserved <= len(self.data), name + ": extends past the end")
        return self.data[offset + FILE_HEADER:offset + FILE_HEADER + used]

    def internal(self, name):
        _require(name in self.offsets, "no internal file " + name)
        return self._file_at(self.offsets[name], name)

    # -- |SYSTEM ------------------------------------------------------------------

    def system(self):
        data = self.internal("|SYSTEM")
        magic, minor, major, _, flags = struct.unpack_from("<HHHIH", data, 0)
        _require(magic == SYSTEM_MAGIC and major == 1 and minor > 16, "|SYSTEM: bad header")
        _require(flags == 0, "|SYSTEM: the topics are compressed")
        records = {}
        pos = 12
        while pos + 4 <= len(data):
            kind, size = struct.unpack_from("<HH", data, pos)
            _require(pos + 4 + size <= len(data), "|SYSTEM: record beyond the file")
            records.setdefault(kind, []).append(data[pos + 4:pos + 4 + size])
            pos += 4 + size
        _require(pos == len(data), "|SYSTEM: trailing bytes")
        return records

    # -- |TOPIC -------------------------------------------------------------------

    def topics(self):
        """The topic links in chain order, checked; returns the topic headers as
        dicts with position, offset, title, and their paragraphs' texts."""
        raw = self.internal("|TOPIC")
        data_size = TOPIC_BLOCK_SIZE - TOPIC_BLOCK_HEADER
        _require(len(raw) % TOPIC_BLOCK_SIZE == 0, "|TOPIC: not whole blocks")
        blocks = len(raw) // TOPIC_BLOCK_SIZE
        stream = b"".join(raw[b * TOPIC_BLOCK_SIZE + TOPIC_BLOCK_HEADER:(b + 1) * TOPIC_BLOCK_SIZE]
                          for b in range(blocks))

        def at(position):
            block, pos = position >> 14, position & 0x3FFF
            _require(block < blocks and TOPIC_BLOCK_HEADER <= pos <= TOPIC_BLOCK_SIZE,
                     "|TOPIC: position %08x outside the blocks" % position)
            return block * data_size + pos - TOPIC_BLOCK_HEADER

        links = []
        position, previous = 0x0C, NONE
        seen = set()
        block, chars = 0, 0
        while position != NONE:
            _require(position not in seen, "|TOPIC: the link chain loops")
            seen.add(position)
            start = at(position)
            _require(start + LINK_HEADER <= len(stream), "|TOPIC: link header beyond the end")
            size, len2, back, forward, len1, kind = struct.unpack_from("<IIIIIB", stream, start)
            _require(back == previous, "|TOPIC: a link's previous-link pointer is wrong")
            _require(LINK_HEADER <= len1 <= size and size - len1 == len2 and start + size <= len(stream),
                     "|TOPIC: link sizes do not add up at %08x" % position)
            data1 = stream[start + LINK_HEADER:start + len1]
            data2 = stream[start + len1:start + size]
            if position >> 14 != block:
                block, chars = position >> 14, 0
            link = {"position": position, "offset": block * 0x8000 + chars, "type": kind,
                    "data1": data1, "data2": data2}
            if kind == RECORD_TEXT:
                link["text"] = self._paragraph_text(data1, data2)
                chars += len(data2)
            else:
                _require(kind == RECORD_TOPIC_HEADER, "|TOPIC: unknown record type %d" % kind)
                _require(len(data1) == TOPIC_HEADER_SIZE, "|TOPIC: topic header of wrong size")
                link["title"] = data2.split(b"\0")[0]
            links.append(link)
            # The next link must begin where this one ends.
            if forward != NONE:
                _require(at(forward) == start + size, "|TOPIC: a gap or overlap after %08x" % position)
            previous, position = position, forward

        # Block headers: last link begun before, first begun in, last topic
        # header begun before each block.
        for b in range(blocks):
            last, first, last_header = struct.unpack_from("<III", raw, b * TOPIC_BLOCK_SIZE)
            before = [l["position"] for l in links if l["position"] >> 14 < b]
            within = [l["position"] for l in links if l["position"] >> 14 == b]
            headers = [l["position"] for l in links
                       if l["position"] >> 14 < b and l["type"] == RECORD_TOPIC_HEADER]
            _require(last == (before[-1] if before else NONE)
                     and first == (within[0] if within else NONE)
                     and last_header == (headers[-1] if headers else NONE),
                     "|TOPIC: header of block %d is wrong" % b)

        topics = []
        header_indexes = [i for i, l in enumerate(links) if l["type"] == RECORD_TOPIC_HEADER]
        _require(header_indexes and header_indexes[0] == 0, "|TOPIC: does not begin with a topic")
        for n, i in enumerate(header_indexes):
            link = links[i]
            _, back, forward, number, nsr, scroll, following = struct.unpack("<7I", link["data1"])
            end = header_indexes[n + 1] if n + 1 < len(header_indexes) else len(links)
            paragraphs = links[i + 1:end]
            _require(number == n, "|TOPIC: topic numbers are not consecutive")
            _require(following == (links[end]["position"] if end < len(links) else NONE),
                     "|TOPIC: a topic's next-topic pointer is wrong")
            positions = [p["position"] for p in paragraphs]
            for pointer in (nsr, scroll):
                _require(pointer == NONE or pointer in positions,
                         "|TOPIC: a region pointer leaves its topic")
            topics.append({"position": link["position"], "offset": link["offset"],
                           "title": link["title"], "paragraphs": [p["text"] for p in paragraphs],
                           "number": number})
        offsets = [t["offset"] for t in topics]
        _require(len(set(offsets)) == len(offsets), "|TOPIC: two topics share an offset")
        return topics

    @staticmethod
    def _paragraph_text(data1, data2):
        """The paragraph's text, with link targets as {hash}...{/}."""
        pos = 0
        _, pos = read_cslong(data1, pos)
        text_length, pos = read_cushort(data1, pos)
        _require(text_length == len(data2), "|TOPIC: paragraph text length is wrong")
        pos += 4
        bits = struct.unpack_from("<H", data1, pos)[0]
        pos += 2
        for bit in PARA_VALUE_BITS:
            if bits & bit:
                _, pos = read_csshort(data1, pos)
        if bits & PARA_TABS:
            count, pos = read_csshort(data1, pos)
            for _ in range(count):
                stop, pos = read_cushort(data1, pos)
                if stop & 0x4000:
                    _, pos = read_cushort(data1, pos)
        out = []
        pieces = data2.split(b"\0")
        _require(pieces[-1] == b"", "|TOPIC: paragraph text does not end with a zero")
        for piece in pieces[:-1]:
            out.append(piece.decode("cp1252"))
            _require(pos < len(data1), "|TOPIC: more texts than commands")
            command = data1[pos]
            if command == CMD_FONT:
                pos += 3
            elif command in (CMD_END_PARAGRAPH, CMD_TAB, CMD_END_HOTSPOT, 0x81):
                if command == CMD_END_HOTSPOT:
                    out.append("{/}")
                elif command == CMD_TAB:
                    out.append("\t")
                pos += 1
            elif command == CMD_JUMP:
                out.append("{%d}" % struct.unpack_from("<i", data1, pos + 1)[0])
                pos += 5
            elif command == CMD_END:
                pos += 1
                break
            else:
                raise FormatError("|TOPIC: unknown formatting command %02x" % command)
        _require(pos == len(data1), "|TOPIC: paragraph commands do not end with its text")
        return "".join(out)

    # -- |CONTEXT, |CTXOMAP, |TTLBTREE ----------------------------------------------

    def contexts(self):
        tree = BTree(self.internal("|CONTEXT"), "|CONTEXT")
        entries = tree.leaves(lambda page, pos: (struct.unpack_from("<iI", page, pos), pos + 8))
        hashes = [h for h, _ in entries]
        _require(all(a < b for a, b in zip(hashes, hashes[1:])), "|CONTEXT: hashes not sorted")
        return dict(entries)

    def context_map(self):
        data = self.internal("|CTXOMAP")
        _require(len(data) >= 2, "|CTXOMAP: too short")
        count = struct.unpack_from("<H", data, 0)[0]
        _require(len(data) == 2 + 8 * count, "|CTXOMAP: size does not match its count")
        entries = [struct.unpack_from("<iI", data, 2 + 8 * i) for i in range(count)]
        ids = [i for i, _ in entries]
        _require(len(set(ids)) == len(ids), "|CTXOMAP: a help id appears twice")
        return dict(entries)

    def alinks(self):
        """ALink keyword -> the topic offsets it finds; empty without |AWBTREE."""
        if "|AWBTREE" not in self.names:
            return {}
        tree = BTree(self.internal("|AWBTREE"), "|AWBTREE")
        data = self.internal("|AWDATA")

        def entry(page, pos):
            keyword, pos = _zstring(page, pos)
            count, start = struct.unpack_from("<HI", page, pos)
            return (keyword, count, start), pos + 6
        result = {}
        for keyword, count, start in tree.leaves(entry):
            _require(start + 4 * count <= len(data), "|AWDATA: a keyword's offsets run past its end")
            result[keyword.decode("cp1252")] = [struct.unpack_from("<I", data, start + 4 * i)[0]
                                                for i in range(count)]
        return result

    def titles(self):
        tree = BTree(self.internal("|TTLBTREE"), "|TTLBTREE")

        def entry(page, pos):
            offset = struct.unpack_from("<I", page, pos)[0]
            title, pos = _zstring(page, pos + 4)
            return (offset, title), pos
        return dict(tree.leaves(entry))
