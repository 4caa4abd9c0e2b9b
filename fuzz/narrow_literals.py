#!/usr/bin/env python3
"""Lists narrow string or character literals with non-ASCII bytes in the given C++ sources
and the headers of the same name beside them. The project compiles such literals as
GB18030; the fuzz build (clang) cannot, so they would silently become UTF-8 there. u8
literals and comments are fine. Exit status 1 when any is found."""
import os
import re
import sys

LITERAL = re.compile(rb'(u8|u|U|L)?R?"(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\'')


def strip_comments(text):
    text = re.sub(rb'/\*.*?\*/', lambda m: b'\n' * m.group(0).count(b'\n'), text, flags=re.S)
    out = []
    for line in text.split(b'\n'):
        code, i, quote = line, 0, None
        while i < len(line):
            c = line[i:i + 1]
            if quote:
                if c == b'\\':
                    i += 1
                elif c == quote:
                    quote = None
            elif c in (b'"', b"'"):
                quote = c
            elif line[i:i + 2] == b'//':
                code = line[:i]
                break
            i += 1
        out.append(code)
    return out


found = False
for source in sys.argv[1:]:
    files = [source]
    header = os.path.splitext(source)[0] + '.h'
    if os.path.exists(header) and header != source:
        files.append(header)
    for path in files:
        with open(path, 'rb') as f:
            lines = strip_comments(f.read())
        for number, line in enumerate(lines, 1):
            for m in LITERAL.finditer(line):
                if m.group(1) in (b'u8', b'u', b'U', b'L'):
                    continue
                if any(b >= 0x80 for b in m.group(0)):
                    print(f'{path}:{number}: {line.decode("utf-8", "replace").strip()}')
                    found = True
sys.exit(1 if found else 0)
