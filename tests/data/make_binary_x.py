#!/usr/bin/env python3
"""Writes quad_binary.x: the same quad as a binary mesh file (32-bit floats).

Token stream of the binary form: a 16-bit token id, then its payload.
"""
import struct

NAME, STRING, INTEGER, INT_LIST, FLOAT_LIST = 1, 2, 3, 6, 7
OBRACE, CBRACE, SEMICOLON = 10, 11, 20

out = bytearray(b'xof 0303bin 0032')


def tok(t):
    out.extend(struct.pack('<H', t))


def name(s):
    tok(NAME)
    out.extend(struct.pack('<I', len(s)) + s.encode())


def ints(*v):
    tok(INT_LIST)
    out.extend(struct.pack('<I', len(v)) + struct.pack('<%dI' % len(v), *v))


def floats(*v):
    tok(FLOAT_LIST)
    out.extend(struct.pack('<I', len(v)) + struct.pack('<%df' % len(v), *v))


def string(s):
    tok(STRING)
    out.extend(struct.pack('<I', len(s)) + s.encode())
    tok(SEMICOLON)


name('Mesh'); name('Quad'); tok(OBRACE)
ints(4)
floats(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0)
ints(2, 3, 0, 3, 2, 3, 0, 2, 1)
name('MeshTextureCoords'); tok(OBRACE)
ints(4)
floats(0, 1, 1, 1, 1, 0, 0, 0)
tok(CBRACE)
name('MeshMaterialList'); tok(OBRACE)
ints(2, 2, 0, 1)
name('Material'); name('Green'); tok(OBRACE)
floats(0, 1, 0, 1, 8, 0, 0, 0, 0, 0, 0)
tok(CBRACE)
name('Material'); name('Grey'); tok(OBRACE)
floats(0.5, 0.5, 0.5, 1, 8, 0, 0, 0, 0, 0, 0)
name('TextureFilename'); tok(OBRACE)
string('stripes.bmp')
tok(CBRACE)
tok(CBRACE)
tok(CBRACE)
tok(CBRACE)
open('quad_binary.x', 'wb').write(out)
