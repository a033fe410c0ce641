#!/usr/bin/env python3
"""The help file check must catch broken files: a small help file is built,
found sound, and then damaged in the ways a faulty writer would damage it."""

import os
import struct
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check_help  # noqa: E402
import make_help  # noqa: E402
import winhelp  # noqa: E402

SOURCE = """%title Tarnview-Hilfe
= Inhalt {inhalt}
Willkommen. Größe und Überblick.

== Das Dialogfeld „Suchen“ {dialog_suchen}
**Suchen** findet Text.

=== Suchen: Suchen nach {suchen_text} [41]
**Suchen nach:** Der gesuchte Text.

=== Suchen: Domän-Name {suchen_domaene} [42]
**Domän-Name**: die Namen der Ordner.
"""

TABLES = "HELP_PAIR(IDC_FIND_TEXT, 41),\nHELP_PAIR(IDC_FIND_IN_HOSTS, 42),\n"
DIALOGS = 'CAPTION "Suchen"\nLTEXT "&Suchen nach:", -1\nAUTOCHECKBOX "&Domän-Name", 102\n'


class HelpCheckTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name
        self.source = os.path.join(self.dir, "help.txt")
        with open(self.source, "w", encoding="utf-8") as f:
            f.write(SOURCE)
        for name, text in (("tables.rc", TABLES), ("dialogs.rc", DIALOGS)):
            with open(os.path.join(self.dir, name), "w", encoding="utf-8") as f:
                f.write(text)
        self.hlp = os.path.join(self.dir, "tarn.hlp")
        settings, topics = make_help.parse(SOURCE.splitlines())
        make_help.build(settings, topics).write(self.hlp)
        with open(self.hlp, "rb") as f:
            self.data = bytearray(f.read())
        self.file = winhelp.HelpFile(bytes(self.data))

    def tearDown(self):
        self.folder.cleanup()

    def problems(self, data=None):
        if data is not None:
            with open(self.hlp, "wb") as f:
                f.write(data)
        try:
            return check_help.check(self.hlp, self.source, self.dir)[0]
        except winhelp.FormatError as error:
            return [str(error)]

    def internal_start(self, name):
        return self.file.offsets[name] + winhelp.FILE_HEADER

    def test_a_sound_file_passes_and_keeps_its_umlauts(self):
        self.assertEqual(self.problems(), [])
        titles = [t["title"].decode("cp1252") for t in self.file.topics()]
        self.assertIn("Suchen: Domän-Name", titles)
        self.assertIn(b"Gr\xf6\xdfe", self.data)

    def test_structural_damage_is_found(self):
        with self.subTest("directory out of order"):
            data = bytearray(self.data)
            # The leaf page holds "|CONTEXT" then "|CTXOMAP": make the second sort first.
            pos = data.index(b"|CTXOMAP\0", self.file.directory_start)
            data[pos + 2] = ord("A")
            self.assertTrue(self.problems(data))
        with self.subTest("file size in the header"):
            data = bytearray(self.data)
            struct.pack_into("<I", data, 12, len(data) + 1)
            self.assertTrue(self.problems(data))
        with self.subTest("internal file larger than its room"):
            data = bytearray(self.data)
            struct.pack_into("<I", data, self.file.offsets["|FONT"] + 4, 10 ** 6)
            self.assertTrue(self.problems(data))
        with self.subTest("topic link chain broken"):
            data = bytearray(self.data)
            topic = self.internal_start("|TOPIC") + winhelp.TOPIC_BLOCK_HEADER
            size = struct.unpack_from("<I", data, topic)[0]
            struct.pack_into("<I", data, topic + 12, 0x0C + size + 1)
            self.assertTrue(self.problems(data))

    def test_offsets_that_miss_a_topic_header_are_found(self):
        with self.subTest("help id"):
            data = bytearray(self.data)
            pos = self.internal_start("|CTXOMAP") + 2 + 4
            struct.pack_into("<I", data, pos, struct.unpack_from("<I", data, pos)[0] + 1)
            self.assertTrue(any("CTXOMAP" in p for p in self.problems(data)))
        with self.subTest("context"):
            data = bytearray(self.data)
            tree = self.internal_start("|CONTEXT") + 38 + 8 + 4
            struct.pack_into("<I", data, tree, struct.unpack_from("<I", data, tree)[0] + 3)
            self.assertTrue(any("CONTEXT" in p for p in self.problems(data)))

    def test_help_ids_and_program_texts_follow_the_program(self):
        with open(os.path.join(self.dir, "tables.rc"), "a", encoding="utf-8") as f:
            f.write("HELP_PAIR(IDOK, 45),\n")
        with open(os.path.join(self.dir, "dialogs.rc"), "w", encoding="utf-8") as f:
            f.write(DIALOGS.replace("&Domän-Name", "&Domänenname"))
        problems = self.problems()
        self.assertTrue(any("help id 45" in p for p in problems))
        self.assertTrue(any("**Domän-Name**" in p for p in problems))


if __name__ == "__main__":
    unittest.main()
