#!/usr/bin/env python3
"""The list-to-table step of the language files: a list becomes a table in
its code page, and a list that cannot be turned into one is named by file and
line, never answered with a traceback.

Usage: check_make_table.py <make_table.py>"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

MAKE_TABLE = None


def run(lines, codepage):
    """(exit status, error text, generated table or None) for a list of lines."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "Test_Russian.txt")
        target = os.path.join(folder, "table.cpp")
        with open(source, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        done = subprocess.run([sys.executable, "-B", MAKE_TABLE, source, str(codepage), target],
                              capture_output=True, text=True)
        table = None
        if os.path.exists(target):
            with open(target, encoding="ascii") as f:
                table = f.read()
        return done.returncode, done.stderr, table


def table_bytes(table):
    """The texts of a generated table, as bytes, in id order."""
    texts = re.findall(r'^    "((?:\\x[0-9a-f]{2})*)",$', table, re.M)
    return [bytes(int(h, 16) for h in re.findall(r"\\x([0-9a-f]{2})", t)) for t in texts]


class MakeTable(unittest.TestCase):
    def test_texts_are_stored_in_the_code_page_with_escapes_resolved(self):
        status, error, table = run(["# comment", "0\tНе в сети", "1\t\\tТаб", "2\tTotal: "], 1251)
        self.assertEqual(status, 0, error)
        self.assertIn("g_languageLastId = 2;", table)
        self.assertEqual(table_bytes(table), ["Не в сети".encode("cp1251"), "\tТаб".encode("cp1251"),
                                              b"Total: "])

    def test_a_character_outside_the_code_page_names_file_line_and_character(self):
        status, error, table = run(["# Russian", "0\tВ сети", "1\tPříliš"], 1251)
        self.assertNotEqual(status, 0)
        self.assertNotIn("Traceback", error)
        self.assertRegex(error, r"Test_Russian\.txt:3: id 1: 'ř' \(U\+0159\) does not fit code page 1251")
        self.assertIsNone(table)
        # The same text is fine in UTF-8.
        status, error, _ = run(["0\tВ сети", "1\tPříliš"], 65001)
        self.assertEqual(status, 0, error)

    def test_ids_out_of_order_or_malformed_lines_are_named(self):
        status, error, _ = run(["0\ta", "2\tb"], 65001)
        self.assertNotEqual(status, 0)
        self.assertIn("Test_Russian.txt:2: id 2 out of order, expected 1", error)
        status, error, _ = run(["0\ta", "one\tb"], 65001)
        self.assertIn("Test_Russian.txt:2: expected id<TAB>text", error)
        self.assertNotIn("Traceback", error)

    def test_a_list_that_is_not_utf8_or_an_unknown_code_page_is_refused_plainly(self):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "Test_Russian.txt")
            with open(source, "wb") as f:
                f.write("0\tНе в сети\n".encode("cp1251"))
            done = subprocess.run([sys.executable, "-B", MAKE_TABLE, source, "1251",
                                   os.path.join(folder, "t.cpp")], capture_output=True, text=True)
            self.assertNotEqual(done.returncode, 0)
            self.assertIn("Test_Russian.txt: not UTF-8", done.stderr)
            self.assertNotIn("Traceback", done.stderr)
        status, error, _ = run(["0\ta"], 866)
        self.assertIn("unknown code page 866", error)
        self.assertNotIn("Traceback", error)


if __name__ == "__main__":
    MAKE_TABLE = sys.argv.pop(1)
    unittest.main(verbosity=1)
