#!/usr/bin/env python3
"""Writes the compressed mesh files of the tests from their plain forms:

cube_tzip.x   cube.x, its text in two MSZIP blocks (the second inflated
              with the first as its dictionary)
quad_bzip.x   quad_binary.x, its binary tokens in one block

A compressed file: the 16-byte header with the form tzip or bzip, 4 bytes of
the whole inflated size and 2 of the first block's, then blocks of a 16-bit
length, "CK" and that many bytes of raw deflate data.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def compress(plain, form, pieces):
    body = plain[16:]
    cut = [len(body) * i // pieces for i in range(pieces + 1)]
    out = bytearray(plain[:8] + form + plain[12:16])
    out += struct.pack('<IH', len(body), cut[1] - cut[0])
    previous = b''
    for a, b in zip(cut, cut[1:]):
        z = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=previous) if previous else \
            zlib.compressobj(9, zlib.DEFLATED, -15)
        data = z.compress(body[a:b]) + z.flush()
        out += struct.pack('<H', len(data)) + b'CK' + data
        previous = body[a:b]
    return bytes(out)


for source, target, form, pieces in [('cube.x', 'cube_tzip.x', b'tzip', 2),
                                     ('quad_binary.x', 'quad_bzip.x', b'bzip', 1)]:
    with open(os.path.join(HERE, source), 'rb') as f:
        plain = f.read()
    with open(os.path.join(HERE, target), 'wb') as f:
        f.write(compress(plain, form, pieces))
