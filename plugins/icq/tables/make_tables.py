#!/usr/bin/env python3
"""Write the ICQ plug-in's reference text tables in the form the plug-in reads.

Each source is a readable list (UTF-8, one "code;text" entry a line, "#" starts
a comment line). The output, in the target folder under the same file name, is
UTF-16 little-endian without byte-order mark, lines ended by CR LF."""
import os
import sys

MAX_LINE = 255  # characters of a line with its CR LF


def convert(source, target_dir):
    entries = []
    seen = set()
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            code, sep, text = line.partition(";")
            where = f"{source}:{number}"
            if not sep or not code.strip().lstrip("-").isdigit():
                sys.exit(f"{where}: expected code;text")
            if ";" in text:
                sys.exit(f"{where}: the reader drops every ';' of a text")
            if int(code) in seen:
                sys.exit(f"{where}: code {code} given twice")
            seen.add(int(code))
            entry = f"{int(code)};{text.strip()}"
            if len(entry) + 2 > MAX_LINE:
                sys.exit(f"{where}: line longer than {MAX_LINE - 2} characters")
            entries.append(entry)
    data = "".join(entry + "\r\n" for entry in entries).encode("utf-16-le")
    target = os.path.join(target_dir, os.path.basename(source))
    with open(target, "wb") as f:
        f.write(data)


def main(target_dir, *sources):
    os.makedirs(target_dir, exist_ok=True)
    for source in sources:
        convert(source, target_dir)


if __name__ == "__main__":
    main(*sys.argv[1:])
