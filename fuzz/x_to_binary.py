#!/usr/bin/env python3
"""Writes a text mesh (.x) file again in the binary form, for the mesh
harness's seeds: x_to_binary.py IN OUT.

Names become name tokens, quoted strings string tokens, braces brace
tokens; each run of numbers of one kind (with a decimal point or exponent:
floats, else integers) becomes one integer or float list.  Separators are
dropped, as the binary form has none between numbers.  Comments are passed
over.  Templates are written as names too, which the reader takes as it
takes unknown objects.
"""
import re
import struct
import sys

NAME, STRING, INT_LIST, FLOAT_LIST, OBRACE, CBRACE, SEMICOLON = 1, 2, 6, 7, 10, 11, 20
TOKEN = re.compile(rb'"[^"]*"|[{};,]|[^\s{};,]+')


def convert(text):
    head = text[:16]
    if not head.startswith(b'xof ') or head[8:12] != b'txt ':
        raise SystemExit('not a text mesh file')
    body = text[text.index(b'\n') + 1:] if b'\n' in text else b''
    body = b'\n'.join(re.sub(rb'(//|#).*', b'', line) for line in body.split(b'\n'))
    out = bytearray(head[:8] + b'bin ' + head[12:16])
    run, kind = [], None

    def flush():
        nonlocal run, kind
        if run:
            if kind == 'f':
                out.extend(struct.pack('<HI', FLOAT_LIST, len(run)) + struct.pack('<%df' % len(run), *run))
            else:
                out.extend(struct.pack('<HI', INT_LIST, len(run)) +
                           struct.pack('<%dI' % len(run), *[v & 0xFFFFFFFF for v in run]))
        run, kind = [], None

    for tok in TOKEN.findall(body):
        if tok in (b';', b','):
            continue
        number = re.fullmatch(rb'[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?', tok)
        if number:
            is_float = bool(re.search(rb'[.eE]', tok))
            k = 'f' if is_float else 'i'
            if kind not in (None, k):
                flush()
            kind = k
            run.append(float(tok) if is_float else int(tok))
            continue
        flush()
        if tok == b'{':
            out.extend(struct.pack('<H', OBRACE))
        elif tok == b'}':
            out.extend(struct.pack('<H', CBRACE))
        elif tok.startswith(b'"'):
            s = tok[1:-1]
            out.extend(struct.pack('<HI', STRING, len(s)) + s + struct.pack('<H', SEMICOLON))
        else:
            out.extend(struct.pack('<HI', NAME, len(tok)) + tok)
    flush()
    return bytes(out)


if __name__ == '__main__':
    with open(sys.argv[1], 'rb') as f:
        data = convert(f.read())
    with open(sys.argv[2], 'wb') as f:
        f.write(data)
