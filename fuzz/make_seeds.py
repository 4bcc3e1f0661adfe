#!/usr/bin/env python3
"""Writes the small seed corpus of the fuzz targets (run from this folder)."""
import os
import struct
from fractions import Fraction


def ext(text):
    """The 80-bit extended value nearest to a decimal text, little-endian."""
    v = Fraction(text)
    sign = 0x8000 if v < 0 else 0
    v = abs(v)
    if v == 0:
        return bytes(10)
    e = v.numerator.bit_length() - v.denominator.bit_length()
    while v >= Fraction(2) ** (e + 1):
        e += 1
    while v < Fraction(2) ** e:
        e -= 1
    scaled = v / Fraction(2) ** (e - 63)
    q, r = divmod(scaled.numerator, scaled.denominator)
    if 2 * r > scaled.denominator or (2 * r == scaled.denominator and q & 1):
        q += 1
    if q == 1 << 64:
        q >>= 1
        e += 1
    return struct.pack('<QH', q, sign | (e + 16383))


def i32(v):
    return struct.pack('<i', v)


def s(text):
    b = text.encode('latin-1')
    return i32(len(b)) + b


def chunk(content):
    return i32(len(content)) + content


def brush(color=0xFFFFFF, style=0):
    return chunk(i32(color) + i32(style))


def pen(color=0, style=0, width=1, mode=4):
    return chunk(i32(color) + i32(style) + i32(width) + i32(mode))


def font(name='Arial', size=12, style='BI'):
    return chunk(ext('0') + i32(0) + s(name) + i32(size) + s(style))


def band():
    caption = chunk(font() + s('Page {PAGE}'))
    return chunk(b'\x01\x00' + caption * 3 + pen())


def native():
    base = chunk(i32(100) + i32(200))
    objects = [
        (1, base + chunk(brush() + s('Hello') + font())),
        (2, base + chunk(pen() + i32(300) + i32(400) + i32(0))),
        (4, base + chunk(brush() + pen() + i32(500) + i32(600))),
        (5, base + chunk(brush() + pen() + i32(500) + i32(600)) + chunk(i32(50) + i32(60))),
        (6, base + chunk(brush() + s('Box') + font()) + chunk(i32(2) + i32(900) + i32(800) + pen())),
        (8, base + chunk(brush() + pen() + i32(1) + i32(1) + i32(2) + i32(3) + i32(4))),
        (9, base + chunk(i32(10) + i32(20) + b'\x00' + i32(1) + b'BM' + i32(14) + bytes(8) + i32(13369376) + b'\x00')),
        (12, base + chunk(brush() + pen() + i32(1) + i32(2)) + chunk(i32(3) + i32(4) + i32(5) + i32(6))),
    ]
    page = i32(0) + i32(len(objects)) + b''.join(i32(t) + rec for t, rec in objects)
    doc = (chunk(struct.pack('<d', 46000.5) + i32(2)) +
           chunk(i32(21000) + i32(29700) + s('A4') + i32(0) + i32(0x808080) + i32(5)) +
           chunk(i32(1500) + i32(2000) + i32(1500) + i32(2500) + b'\x01\x00\x00') +
           band() + band() + chunk(page) + chunk(i32(1) + i32(0)))
    return ext('2.42') + chunk(doc)


def rec_int(key, value):
    return i32(1001) + ext(key) + i32(value)


def rec_str(key, text):
    return i32(1002) + ext(key) + s(text)


def rec_ext(key, value):
    return i32(1000) + ext(key) + ext(value)


def nested(kind, key, records):
    return i32(kind) + ext(key) + chunk(records)


def legacy():
    blocks = [
        rec_int('10', 2) + rec_int('2.01', 21000) + rec_int('2.02', 29700) + rec_int('2.03', 1),
        rec_int('10', 3) + rec_int('3.01', 1000) + rec_int('3.05', 1) + nested(1005, '3.07', rec_int('40', 255)),
        rec_int('10', 5) + rec_ext('5.01', '2.1'),
        rec_int('10', 1),
        rec_int('10', 10) + rec_int('10.01', 4) + rec_int('10.03', 100) + rec_int('10.05', 900) +
        nested(1003, '1003', rec_int('20', 255)) + nested(1005, '1005', rec_int('40.02', 3)),
        rec_int('10', 10) + rec_int('10.01', 6) + rec_str('50', 'Legacy box') +
        nested(1004, '1004', rec_str('30', 'Arial') + rec_str('30.02', 'SB') + rec_ext('30.05', '45')),
        rec_int('10', 1),
        rec_int('10', 10) + rec_int('10.01', 7),
    ]
    return b''.join(chunk(b) for b in blocks)


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


os.makedirs('corpus/native', exist_ok=True)
os.makedirs('corpus/legacy', exist_ok=True)
os.makedirs('corpus/valuelist', exist_ok=True)
write('corpus/native/document.kpp', native())
write('corpus/native/short.kpp', ext('2.42') + chunk(b''))
write('corpus/legacy/document.bin', legacy())
write('corpus/valuelist/lists.bin', legacy())
write('corpus/valuelist/nested.bin', chunk(nested(1004, '1004', rec_str('30.02', 'BIUS') + nested(1003, '1', b''))))
assert ext('2.01').hex() == 'd7a3703d0ad7a3800040'
assert ext('2.42').hex() == '48e17a14ae47e19a0040'
