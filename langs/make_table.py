#!/usr/bin/env python3
"""Turn a language list (UTF-8, "id<TAB>text" a line, ids from 0 without gaps)
into the C++ table of a language file, encoded in the file's code page."""
import sys

CODECS = {65001: "utf-8", 1251: "cp1251", 1250: "cp1250"}


def main(source, codepage, target):
    codec = CODECS[int(codepage)]
    texts = []
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            ident, sep, text = line.partition("\t")
            if not sep or not ident.isdigit():
                sys.exit(f"{source}:{number}: expected id<TAB>text")
            if int(ident) != len(texts):
                sys.exit(f"{source}:{number}: id {ident} out of order, expected {len(texts)}")
            texts.append(text.replace("\\t", "\t").replace("\\n", "\n"))
    out = ['// Generated from ' + source.rsplit("/", 1)[-1] + '; edit that file instead.',
           'extern const char* const g_languageTable[];',
           'extern const int g_languageLastId;',
           f'const int g_languageLastId = {len(texts) - 1};',
           'const char* const g_languageTable[] = {']
    for text in texts:
        data = text.encode(codec)
        out.append('    "' + "".join(f"\\x{b:02x}" for b in data) + '",')
    if not texts:
        out.append('    nullptr,')
    out.append('};')
    with open(target, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(*sys.argv[1:])
