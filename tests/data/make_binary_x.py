#!/usr/bin/env python3
"""Writes the binary mesh files of the tests:

quad_binary.x      the quad of the text tests, 32-bit floats
binary_templates.x templates with their GUIDs, then a mesh whose vertices
                   travel as float bit patterns inside an integer list and a
                   vertex declaration of 32-bit ARGB colour words
binary_doubles.x   the quad again with 64-bit floats

Token stream of the binary form: a 16-bit token id, then its payload.
"""
import struct

NAME, STRING, INTEGER, GUID, INT_LIST, FLOAT_LIST = 1, 2, 3, 5, 6, 7
OBRACE, CBRACE, OBRACKET, CBRACKET, DOT, SEMICOLON = 10, 11, 14, 15, 18, 20
TEMPLATE, WORD, DWORD, FLOAT, ARRAY = 0x1f, 0x28, 0x29, 0x2a, 0x34


class Writer:
    def __init__(self, float_bits=32):
        self.out = bytearray(b'xof 0303bin 00%d' % float_bits)
        self.float_format = 'f' if float_bits == 32 else 'd'

    def tok(self, t):
        self.out.extend(struct.pack('<H', t))

    def name(self, s):
        self.tok(NAME)
        self.out.extend(struct.pack('<I', len(s)) + s.encode())

    def ints(self, *v):
        self.tok(INT_LIST)
        self.out.extend(struct.pack('<I', len(v)) + struct.pack('<%dI' % len(v), *v))

    def floats(self, *v):
        self.tok(FLOAT_LIST)
        self.out.extend(struct.pack('<I', len(v)) + struct.pack('<%d%s' % (len(v), self.float_format), *v))

    def string(self, s):
        self.tok(STRING)
        self.out.extend(struct.pack('<I', len(s)) + s.encode())
        self.tok(SEMICOLON)

    def guid(self, text):
        a, b, c, d, e = text.split('-')
        self.tok(GUID)
        self.out.extend(struct.pack('<IHH', int(a, 16), int(b, 16), int(c, 16)) +
                        bytes.fromhex(d + e))

    def template(self, name, guid, members, open_ended=False):
        """members: ('DWORD' | 'FLOAT' | 'WORD' | type name, member, array size or None)"""
        self.tok(TEMPLATE)
        self.name(name)
        self.tok(OBRACE)
        self.guid(guid)
        keywords = {'DWORD': DWORD, 'FLOAT': FLOAT, 'WORD': WORD}
        for kind, member, size in members:
            if size is not None:
                self.tok(ARRAY)
            if kind in keywords:
                self.tok(keywords[kind])
            else:
                self.name(kind)
            self.name(member)
            if size is not None:
                self.tok(OBRACKET)
                if isinstance(size, int):
                    self.tok(INTEGER)
                    self.out.extend(struct.pack('<I', size))
                else:
                    self.name(size)
                self.tok(CBRACKET)
            self.tok(SEMICOLON)
        if open_ended:
            self.tok(OBRACKET)
            for _ in range(3):
                self.tok(DOT)
            self.tok(CBRACKET)
        self.tok(CBRACE)

    def material(self, name, rgba, texture=None):
        self.name('Material')
        self.name(name)
        self.tok(OBRACE)
        self.floats(*rgba, 8, 0, 0, 0, 0, 0, 0)
        if texture:
            self.name('TextureFilename')
            self.tok(OBRACE)
            self.string(texture)
            self.tok(CBRACE)
        self.tok(CBRACE)

    def save(self, path):
        open(path, 'wb').write(self.out)


def bits(f):
    return struct.unpack('<I', struct.pack('<f', f))[0]


def quad(w):
    w.name('Mesh'); w.name('Quad'); w.tok(OBRACE)
    w.ints(4)
    w.floats(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0)
    w.ints(2, 3, 0, 3, 2, 3, 0, 2, 1)
    w.name('MeshTextureCoords'); w.tok(OBRACE)
    w.ints(4)
    w.floats(0, 1, 1, 1, 1, 0, 0, 0)
    w.tok(CBRACE)
    w.name('MeshMaterialList'); w.tok(OBRACE)
    w.ints(2, 2, 0, 1)
    w.material('Green', (0, 1, 0, 1))
    w.material('Grey', (0.5, 0.5, 0.5, 1), 'stripes.bmp')
    w.tok(CBRACE)
    w.tok(CBRACE)


w = Writer()
quad(w)
w.save('quad_binary.x')

w = Writer(64)
quad(w)
w.save('binary_doubles.x')

w = Writer()
w.template('Vector', '3D82AB5E-62DA-11cf-AB39-0020AF71E433',
           [('FLOAT', 'x', None), ('FLOAT', 'y', None), ('FLOAT', 'z', None)])
w.template('Boolean', '4885AE61-78E8-11cf-8F52-0040333594A3', [('WORD', 'truefalse', None)])
w.template('MeshFace', '3D82AB5F-62DA-11cf-AB39-0020AF71E433',
           [('DWORD', 'nFaceVertexIndices', None),
            ('DWORD', 'faceVertexIndices', 'nFaceVertexIndices')])
w.template('Matrix4x4', 'F6F23F45-7686-11cf-8F52-0040333594A3', [('FLOAT', 'matrix', 16)])
w.template('Mesh', '3D82AB44-62DA-11cf-AB39-0020AF71E433',
           [('DWORD', 'nVertices', None), ('Vector', 'vertices', 'nVertices'),
            ('DWORD', 'nFaces', None), ('MeshFace', 'faces', 'nFaces')], open_ended=True)
w.template('Frame', '3D82AB46-62DA-11cf-AB39-0020AF71E433', [], open_ended=True)
w.name('Frame'); w.name('Plate'); w.tok(OBRACE)
w.name('FrameTransformMatrix'); w.tok(OBRACE)
w.floats(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 3, 0, 1)
w.tok(CBRACE)
w.name('Mesh'); w.name('PlateMesh'); w.tok(OBRACE)
# The count, the vertices as float bit patterns and the faces in one list.
w.ints(4, *[bits(f) for f in (-1, 0, -1, -1, 0, 1, 1, 0, 1, 1, 0, -1)], 2, 3, 0, 1, 2, 3, 0, 2, 3)
w.name('MeshVertexColors'); w.tok(OBRACE)
w.ints(4)
for i, rgba in enumerate([(1, 0, 0, 1), (0, 1, 0, 1), (0, 0, 1, 1), (1, 1, 1, 1)]):
    w.ints(i)
    w.floats(*rgba)
w.tok(CBRACE)
w.name('DeclData'); w.tok(OBRACE)
w.ints(1, 4, 0, 10, 0, 4, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF)
w.tok(CBRACE)
w.name('MeshMaterialList'); w.tok(OBRACE)
w.ints(1, 1, 0)
w.material('Olive', (0.5, 0.6, 0.2, 1))
w.tok(CBRACE)
w.tok(CBRACE)
w.tok(CBRACE)
w.save('binary_templates.x')
