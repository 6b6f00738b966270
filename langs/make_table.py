#!/usr/bin/env python3
"""Turn a language list (UTF-8, "id<TAB>text" a line, ids from 0 without gaps)
into the C++ table of a language file, encoded in the file's code page.

A list that cannot be turned into a table is reported as "<file>:<line>: why"
and the build stops, without a traceback."""
import sys

CODECS = {65001: "utf-8", 1251: "cp1251", 1250: "cp1250"}


def fail(source, number, why):
    sys.exit(f"{source}:{number}: {why}")


def read_texts(source, codec, codepage):
    """The texts in id order, each already in the file's code page."""
    texts = []
    try:
        with open(source, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except UnicodeDecodeError as error:
        sys.exit(f"{source}: not UTF-8 ({error.reason} at byte {error.start})")
    for number, line in enumerate(lines, 1):
        line = line.rstrip("\r")
        if not line or line.startswith("#"):
            continue
        ident, sep, text = line.partition("\t")
        if not sep or not ident.isdigit():
            fail(source, number, "expected id<TAB>text")
        if int(ident) != len(texts):
            fail(source, number, f"id {ident} out of order, expected {len(texts)}")
        text = text.replace("\\t", "\t").replace("\\n", "\n")
        try:
            texts.append(text.encode(codec))
        except UnicodeEncodeError as error:
            bad = text[error.start]
            fail(source, number, f"id {ident}: {bad!r} (U+{ord(bad):04X}) does not fit code page {codepage}")
    return texts


def main(source, codepage, target):
    if not codepage.isdigit() or int(codepage) not in CODECS:
        sys.exit(f"{source}: unknown code page {codepage}")
    texts = read_texts(source, CODECS[int(codepage)], codepage)
    out = ['// Generated from ' + source.replace("\\", "/").rsplit("/", 1)[-1] + '; edit that file instead.',
           'extern const char* const g_languageTable[];',
           'extern const int g_languageLastId;',
           f'const int g_languageLastId = {len(texts) - 1};',
           'const char* const g_languageTable[] = {']
    for data in texts:
        out.append('    "' + "".join(f"\\x{b:02x}" for b in data) + '",')
    if not texts:
        out.append('    nullptr,')
    out.append('};')
    with open(target, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: make_table.py <list.txt> <code page> <table.cpp>")
    main(*sys.argv[1:])
