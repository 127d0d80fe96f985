#!/usr/bin/env python3
"""Makes the About window's two pictures: about_donate.png and about_badge.png.

Python 3 standard library only (zlib and struct write the PNG files, a small QR-code encoder below makes
the codes), so anyone can remake the pictures with `python3 make_about_pictures.py` in this folder.
The output is deterministic: with the same Python and zlib the script writes the same bytes again.

about_donate.png  632 x 280, 8-bit RGBA: two QR codes on a light card with a caption. Each code holds a
                  short Chinese note (UTF-8) on how to support Corvelle and where its donation page lives.
about_badge.png   40 x 40, 8-bit RGBA: a circular blue badge with a white note (pressing it plays the tune).

The window's layout gives both files a byte size (300,965 and 841 bytes). The donation picture gets
there through a faint paper grain over the whole card (noise does not compress, so the grain's strength
sets the size) plus a short "Comment" text chunk; the badge gets there through its text chunk alone. The
text chunks end in a few spaces that make up the last bytes.
"""

import base64
import math
import os
import random
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

DONATE_SIZE = (632, 280)
DONATE_BYTES = 300965
BADGE_SIZE = (40, 40)
BADGE_BYTES = 841

# What the two codes say. Neither names a payment account: both point to the donation page that ships
# with the program (the About window's "捐助" link opens it).
NOTES = (
    "支持 Corvelle：捐助方式见程序自带的 docs/about-donate.html 页面。谢谢！",
    "喜欢 Corvelle？请推荐给朋友。捐助说明见 docs/about-donate.html。",
)

# The caption "扫码了解如何支持 Corvelle" as 8-bit coverage (265 x 28, zlib, base64). Rendered once from
# WenQuanYi Micro Hei (Apache-2.0) at 22 pt with ImageMagick:
#   convert -background black -fill white -font wqy-microhei.ttc -pointsize 22 \
#           label:"扫码了解如何支持 Corvelle" -colorspace gray -depth 8 gray:caption.gray
# and kept here so this script needs nothing beyond the standard library.
CAPTION_SIZE = (265, 28)
CAPTION_COVERAGE = (
    "eNrtmAtUlMcVx2cXAiKrRkGDSUowhMR4EKOoQdumJsYm9qSn2EdMlfa0DTVG7NE21qaKCK3NUxK0NN1UmxjwESpUQpcKKa9y"
    "RAiiqBHEkKAVsDwNkF3YZdn9d2a+13zLLml6kp7kHO45fDN7Z+abO79v7p07EDIu4zIuPmTvCZ9NwffIcveYb/jaXm/tE994"
    "2FvnrWlTfVpSp/+dkqPUdlUEfPYgSkZGqXaYJXkIslRz9au5HhLL1cZa9yKTKYBsLJFlDlcvwxZeyiznSa/27+pOMAuyW5i2"
    "CL4sy8eE/xOI+KdVCSTkgrz+mM2SOLN5z0tWUQaBR7h6C++bSjYUFaOtqKgZ93L1NnyZr1x+l7yob+CFDAjS87EgIqKjo0ux"
    "gD6NQlvAhtIOR1t1cvgnW2wELqhP/eY3mcpHTKbAXM20GwkJMsVji8lkIiSQdboJO0e/cm49LHyT3zfckpqah/W0GotfEfJb"
    "LOAdCocnSCAaGMtLMoi33ZEBJkWex1eDCVmioB2BUsvWLCMlomWK3NUMXK5udeOxTwlEjzTFwag4WWql6Z7FXawIcv2Db/IE"
    "z3HGrY7hpwwcSM/gPcRYdy2I1rMYgz2IIuSK1epysyUl+sMibPMYlAlv2YWF9Dlb8bQOKLWnNMvIysTExHqsp08tTszoQNV8"
    "Vj5p/JRA7Dab29xm84+17SiBOHWF/5qHP9Pnk4jzGLawFpcW8ZqhBVfz8ytwOX87SXCXBYeQAkwi5LXcMjTm5lZhrR6Eha7M"
    "E4R319BZ5hkjDuLk/xY0fIIYFSwlELchnf9ajc0smiNUN+LGP7gGk5XP88szaHwX186OWLa7e+8Ix7A8SRK+Q8iP8E0diBXs"
    "E5Ov7+IyNghlzATmQ39DCH0GKQ1hTswT+sUe7XI0PzNFWmhaQHqn+4EGRPOmQ3wz32vpG3znB6NBaHpfILZC+t47sZz5dZ/e"
    "wAIURIifNSIUT5Mey+Iz1Lr16WlSW5GLRpDtWCqCCLrEQTwHm9XqxH8HQoheFUpDAk4L3VYNO0sPn8fF6XyJ+w+NnKq7LRUp"
    "PKT22SfTk8BpO17Yj12eIAS9Mt0NNyjxq5yBMH7gYp4aRY5gBu3RelpvoN5gFQQhlekh1uflKGyv5Vs4RASxF3kSiDDWpIHY"
    "aefiglT+VbAs4PFMVTapboNMbf6pfYPsmErBm3yJvVdjaHk3zrK2lXiLkCm93ZG05bp7jh6EqJemW3ronxt1p8YqYLCjn0aG"
    "+i7awYScsUHU1+FqjdNC5iI1FBmSNh5p9NnYTQQQft3NEV5BPJqLnjcVqUGWCmJFnprtfVCkTfk6krUfSTCzwq/NNZMtEd/m"
    "2gu4nT73YS0hT0i9M9nZJ4IQ9SzqNwCOV+9TqLdSEP6NA0P7yXrEGWwqnvgxQNRUoaWCgvgjCg/gvNlMOZP9LJuY7ioWQZDN"
    "MaFeQRCS51LjcTmkPM0Q1wTYXg6Ut2pfrWmi0uUAtmnzH8b35XI1W6JDOkdSWDpn7GSekY1ilrrVIFsPQtSbXnwfcP8uTB8j"
    "ot1pfRzElIOyXMQDH+8a80aGrVbQvyXsA0qxchPRnxq+QETZG4Kl2k9wlBWTMtupZTtCiFnbq03KlC/jJW3+CizjZTp+wZbY"
    "LCcaOElzf+RzsrLk6kGIemP7cMH7o4NlUpAEQtVmYv4YIObfid+E9lqOu79CVNeIvepKImWI9A7iDbP5PX2w/DmO8rRk4VDX"
    "DL4fWh3H3mNjVstb1dGRqfrDE2I2Uo77efmSBEI5GM+7Z5IMrOGkHvR6fIp6sjTE66lBPEC8ji/5BPGszNUS9j2igSAz6pCF"
    "vxPvIGws19KBMORjH93Ui6/bl0uKJdPkMX7fncktqtGmnA3nzUJOsYaXR5iLaCCSsY60DE3iDYleQYh6X8enDOJknyTTjiHQ"
    "J4g9+OEaHHik37KVrY65hnQzmVwJdtvw5RqeCVXQCRTe9LjNscrTspV42+ABglQhx6DUf4p9nFe7O1wEEYW8KBxjtQ3s6PAC"
    "QtT7BnHAtAlxWSckmVLd7fvUyMYkKUaspJGHB8t1UgO9XO03UBDH+bEsgLh9WYCXzHJiHobQHjfasmx+odCBWOREDtuj/nFG"
    "Yuq0s6C0AwX6nPHs9Y1SGJ3cwz+938MhehCiXpnuZqt28ZFAsM2uGfXvat8gTnxElDxCdA2aTDVVYJ9Bf/sM9Z1ixxymvT7c"
    "EzsKxCz7c54gyCor3E1VF20s9V4x5Cw5dA6Xb9WD2IYm7hm0gw3NRZXXcYdHQiXoCX1P5TAh09R/MXTKIM6kWjQQ0XhFvW15"
    "gvC3niLBGctJrx5EgBmds8I68Jg//sUOqTZvIF6QT0oSsGR7PUYOP/jaCHDF/Gi4NBGzjA+ibuA/pPsW5Nbd7/a7+k+/yOyZ"
    "e7Tb0ZIRSvQgIgElM5ud1e4ceCc5yDPF1vTE0lg+3OY9RkyNlnL7vxSXtsqBmcrvmypLhwaEAfezo+yWwhwcEUHMqcfAYtqY"
    "5i1GyBnhmfwuHoMj887ZgfO/Zsuf9Uw72z4lhLx1rky1bEJndb3k75+ZbGx19CWJijsX+rHioRhVcxy4pia3JL7+Q2f7OmHA"
    "txro9jY22buXiSAWOC9HyzvGFwhSYvvoT6w0tVe+knCLenwsTinuotfwn4mWHRtwXFz6xfxP6Nrpql+Ff/LRRjIu4zIu4/I5"
    "kv8Axxiz3w=="
)


# ---------------------------------------------------------------------------------------------------
# QR codes (ISO/IEC 18004): byte mode with a UTF-8 ECI, versions 1 to 10, Reed-Solomon error correction.

ECC_LEVEL_BITS = {"L": 1, "M": 0, "Q": 3, "H": 2}
# Error-correction codewords per block and number of blocks, indexed by version (index 0 unused).
ECC_PER_BLOCK = {
    "L": (None, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18),
    "M": (None, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26),
    "Q": (None, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24),
    "H": (None, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28),
}
BLOCK_COUNT = {
    "L": (None, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4),
    "M": (None, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5),
    "Q": (None, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8),
    "H": (None, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8),
}
MAX_VERSION = 10


def gf_multiply(x, y):
    """Product in GF(2^8) modulo the QR polynomial x^8 + x^4 + x^3 + x^2 + 1."""
    z = 0
    for i in reversed(range(8)):
        z = (z << 1) ^ ((z >> 7) * 0x11D)
        z ^= ((y >> i) & 1) * x
    return z


def rs_divisor(degree):
    """Generator polynomial (x - a^0)(x - a^1)...(x - a^(degree-1)), highest coefficient dropped."""
    result = [0] * (degree - 1) + [1]
    root = 1
    for _ in range(degree):
        for j in range(degree):
            result[j] = gf_multiply(result[j], root)
            if j + 1 < degree:
                result[j] ^= result[j + 1]
        root = gf_multiply(root, 0x02)
    return result


def rs_remainder(data, divisor):
    result = [0] * len(divisor)
    for byte in data:
        factor = byte ^ result.pop(0)
        result.append(0)
        for i, coefficient in enumerate(divisor):
            result[i] ^= gf_multiply(coefficient, factor)
    return result


def raw_data_modules(version):
    """Modules left for data and error correction once the function patterns are placed."""
    result = (16 * version + 128) * version + 64
    if version >= 2:
        aligns = version // 7 + 2
        result -= (25 * aligns - 10) * aligns - 55
        if version >= 7:
            result -= 36
    return result


def data_codewords(version, level):
    return raw_data_modules(version) // 8 - ECC_PER_BLOCK[level][version] * BLOCK_COUNT[level][version]


def alignment_positions(version):
    if version == 1:
        return []
    aligns = version // 7 + 2
    size = version * 4 + 17
    step = (version * 8 + aligns * 3 + 5) // (aligns * 4 - 4) * 2
    return [6] + [size - 7 - i * step for i in reversed(range(aligns - 1))]


class QrCode:
    def __init__(self, text, level="M", min_version=1):
        payload = text.encode("utf-8")
        for version in range(min_version, MAX_VERSION + 1):
            count_bits = 8 if version <= 9 else 16
            # ECI 26 (UTF-8), byte mode, length, data.
            needed_bits = 4 + 8 + 4 + count_bits + 8 * len(payload)
            if needed_bits <= data_codewords(version, level) * 8:
                break
        else:
            raise ValueError("text too long for the QR versions this encoder supports")
        self.version = version
        self.level = level
        self.size = version * 4 + 17
        bits = []

        def append(value, length):
            bits.extend((value >> i) & 1 for i in reversed(range(length)))

        append(0b0111, 4)
        append(26, 8)
        append(0b0100, 4)
        append(len(payload), count_bits)
        for byte in payload:
            append(byte, 8)
        capacity = data_codewords(version, level) * 8
        append(0, min(4, capacity - len(bits)))
        append(0, (-len(bits)) % 8)
        pad = 0xEC
        while len(bits) < capacity:
            append(pad, 8)
            pad ^= 0xEC ^ 0x11
        data = [int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8)]

        self.modules = [[False] * self.size for _ in range(self.size)]
        self.is_function = [[False] * self.size for _ in range(self.size)]
        self._draw_function_patterns()
        self._draw_codewords(self._add_error_correction(data))
        best = None
        for mask in range(8):
            self._apply_mask(mask)
            self._draw_format_bits(mask)
            score = self._penalty()
            if best is None or score < best[0]:
                best = (score, mask)
            self._apply_mask(mask)  # XOR again undoes the mask
        self.mask = best[1]
        self._apply_mask(self.mask)
        self._draw_format_bits(self.mask)

    def _set_function(self, x, y, dark):
        self.modules[y][x] = dark
        self.is_function[y][x] = True

    def _draw_function_patterns(self):
        size = self.size
        for i in range(size):
            self._set_function(6, i, i % 2 == 0)
            self._set_function(i, 6, i % 2 == 0)
        for cx, cy in ((3, 3), (size - 4, 3), (3, size - 4)):
            for dy in range(-4, 5):
                for dx in range(-4, 5):
                    x, y = cx + dx, cy + dy
                    if 0 <= x < size and 0 <= y < size:
                        distance = max(abs(dx), abs(dy))
                        self._set_function(x, y, distance not in (2, 4))
        positions = alignment_positions(self.version)
        last = len(positions) - 1
        for i, ax in enumerate(positions):
            for j, ay in enumerate(positions):
                if (i, j) in ((0, 0), (0, last), (last, 0)):
                    continue  # these corners belong to the finder patterns
                for dy in range(-2, 3):
                    for dx in range(-2, 3):
                        self._set_function(ax + dx, ay + dy, max(abs(dx), abs(dy)) != 1)
        self._draw_format_bits(0)  # reserve the area; the real bits come after masking
        if self.version >= 7:
            remainder = self.version
            for _ in range(12):
                remainder = (remainder << 1) ^ ((remainder >> 11) * 0x1F25)
            bits = self.version << 12 | remainder
            for i in range(18):
                dark = (bits >> i) & 1 == 1
                a, b = size - 11 + i % 3, i // 3
                self._set_function(a, b, dark)
                self._set_function(b, a, dark)

    def _draw_format_bits(self, mask):
        data = ECC_LEVEL_BITS[self.level] << 3 | mask
        remainder = data
        for _ in range(10):
            remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537)
        bits = (data << 10 | remainder) ^ 0x5412
        size = self.size

        def bit(i):
            return (bits >> i) & 1 == 1

        for i in range(6):
            self._set_function(8, i, bit(i))
        self._set_function(8, 7, bit(6))
        self._set_function(8, 8, bit(7))
        self._set_function(7, 8, bit(8))
        for i in range(9, 15):
            self._set_function(14 - i, 8, bit(i))
        for i in range(8):
            self._set_function(size - 1 - i, 8, bit(i))
        for i in range(8, 15):
            self._set_function(8, size - 15 + i, bit(i))
        self._set_function(8, size - 8, True)

    def _add_error_correction(self, data):
        version, level = self.version, self.level
        blocks = BLOCK_COUNT[level][version]
        ecc_length = ECC_PER_BLOCK[level][version]
        raw_codewords = raw_data_modules(version) // 8
        short_blocks = blocks - raw_codewords % blocks
        short_length = raw_codewords // blocks
        divisor = rs_divisor(ecc_length)
        data_blocks, ecc_blocks = [], []
        offset = 0
        for i in range(blocks):
            length = short_length - ecc_length + (0 if i < short_blocks else 1)
            block = data[offset:offset + length]
            offset += length
            data_blocks.append(block)
            ecc_blocks.append(rs_remainder(block, divisor))
        result = []
        for i in range(max(len(b) for b in data_blocks)):
            for block in data_blocks:
                if i < len(block):
                    result.append(block[i])
        for i in range(ecc_length):
            for block in ecc_blocks:
                result.append(block[i])
        assert len(result) == raw_codewords
        return result

    def _draw_codewords(self, codewords):
        size = self.size
        index = 0
        right = size - 1
        while right >= 1:
            if right == 6:
                right = 5  # the vertical timing pattern takes column 6
            for vertical in range(size):
                for j in range(2):
                    x = right - j
                    upward = ((right + 1) & 2) == 0
                    y = size - 1 - vertical if upward else vertical
                    if not self.is_function[y][x] and index < len(codewords) * 8:
                        self.modules[y][x] = (codewords[index >> 3] >> (7 - (index & 7))) & 1 == 1
                        index += 1
            right -= 2

    def _apply_mask(self, mask):
        rules = (
            lambda x, y: (x + y) % 2 == 0,
            lambda x, y: y % 2 == 0,
            lambda x, y: x % 3 == 0,
            lambda x, y: (x + y) % 3 == 0,
            lambda x, y: (x // 3 + y // 2) % 2 == 0,
            lambda x, y: x * y % 2 + x * y % 3 == 0,
            lambda x, y: (x * y % 2 + x * y % 3) % 2 == 0,
            lambda x, y: ((x + y) % 2 + x * y % 3) % 2 == 0,
        )
        rule = rules[mask]
        for y in range(self.size):
            for x in range(self.size):
                if not self.is_function[y][x] and rule(x, y):
                    self.modules[y][x] = not self.modules[y][x]

    def _penalty(self):
        size = self.size
        lines = [row[:] for row in self.modules] + [[self.modules[y][x] for y in range(size)]
                                                     for x in range(size)]
        score = 0
        finder_like = ((True, False, True, True, True, False, True, False, False, False, False),
                       (False, False, False, False, True, False, True, True, True, False, True))
        for line in lines:
            run_colour, run_length = None, 0
            for dark in line:
                if dark == run_colour:
                    run_length += 1
                else:
                    if run_length >= 5:
                        score += 3 + run_length - 5
                    run_colour, run_length = dark, 1
            if run_length >= 5:
                score += 3 + run_length - 5
            padded = [False] * 4 + line + [False] * 4
            for i in range(len(padded) - 10):
                if tuple(padded[i:i + 11]) in finder_like:
                    score += 40
        for y in range(size - 1):
            for x in range(size - 1):
                colour = self.modules[y][x]
                if colour == self.modules[y][x + 1] == self.modules[y + 1][x] == self.modules[y + 1][x + 1]:
                    score += 3
        dark = sum(sum(row) for row in self.modules)
        total = size * size
        score += 10 * (abs(dark * 20 - total * 10) // total)
        return score


# ---------------------------------------------------------------------------------------------------
# Drawing on an RGBA canvas of floats, then quantised to bytes.

class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[list(colour) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        coverage = min(coverage, 1.0)
        pixel = self.pixels[y][x]
        for i in range(3):
            pixel[i] += (colour[i] - pixel[i]) * coverage
        pixel[3] += (255 - pixel[3]) * coverage

    def fill_rounded_rect(self, left, top, right, bottom, radius, colour):
        """Antialiased rounded rectangle through its signed distance."""
        for y in range(max(0, int(top) - 1), min(self.height, int(bottom) + 2)):
            for x in range(max(0, int(left) - 1), min(self.width, int(right) + 2)):
                px, py = x + 0.5, y + 0.5
                qx = max(abs(px - (left + right) / 2) - ((right - left) / 2 - radius), 0.0)
                qy = max(abs(py - (top + bottom) / 2) - ((bottom - top) / 2 - radius), 0.0)
                distance = math.hypot(qx, qy) - radius
                self.blend(x, y, colour, 0.5 - distance)

    def fill_shape(self, left, top, right, bottom, inside, colour, samples=4):
        """Antialiased shape given by an inside(x, y) test, supersampled."""
        for y in range(max(0, int(top)), min(self.height, int(bottom) + 1)):
            for x in range(max(0, int(left)), min(self.width, int(right) + 1)):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))

    def rgba_rows(self):
        rows = []
        for row in self.pixels:
            out = bytearray()
            for pixel in row:
                out.extend(max(0, min(255, int(round(v)))) for v in pixel)
            rows.append(out)
        return rows


# ---------------------------------------------------------------------------------------------------
# PNG writing: 8-bit RGBA, adaptive row filters, zlib level 9, an optional "Comment" text chunk.

def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(row, previous):
    """The row filtered with whichever of the five filters gives the smallest sum of magnitudes."""
    bpp = 4
    candidates = []
    n = len(row)
    none = bytes(row)
    sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(n))
    up = bytes((row[i] - previous[i]) & 0xFF for i in range(n))
    average = bytes((row[i] - (((row[i - bpp] if i >= bpp else 0) + previous[i]) >> 1)) & 0xFF
                    for i in range(n))
    paeth_row = bytes((row[i] - paeth(row[i - bpp] if i >= bpp else 0, previous[i],
                                      previous[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(n))
    for kind, data in enumerate((none, sub, up, average, paeth_row)):
        cost = sum(v if v < 128 else 256 - v for v in data)
        candidates.append((cost, kind, data))
    cost, kind, data = min(candidates, key=lambda c: (c[0], c[1]))
    return bytes([kind]) + data


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(width, height, filtered_rows, comment=None):
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    if comment is not None:
        out += chunk(b"tEXt", b"Comment\x00" + comment.encode("latin-1"))
    out += chunk(b"IDAT", zlib.compress(b"".join(filtered_rows), 9))
    return out + chunk(b"IEND", b"")


def filter_all(rows):
    previous = bytes(len(rows[0]))
    result = []
    for row in rows:
        result.append(filter_row(row, previous))
        previous = row
    return result


def padded_comment(text, image_bytes, target):
    """The comment that brings a file of image_bytes (without text chunk) to exactly target bytes."""
    overhead = 12 + len(b"Comment\x00")
    room = target - image_bytes - overhead
    if room < len(text):
        raise ValueError(f"picture is {image_bytes} bytes, no room for its comment within {target}")
    return text + " " * (room - len(text))


# ---------------------------------------------------------------------------------------------------
# The donation picture.

PAPER = (250, 246, 238, 255)
CARD = (246, 246, 246, 255)  # below white, so the grain shows evenly
INK = (17, 17, 17, 255)
CAPTION_INK = (70, 62, 52, 255)
HEART = (230, 92, 60, 255)


def draw_qr(canvas, code, left, top, module):
    for y in range(code.size):
        for x in range(code.size):
            if code.modules[y][x]:
                for dy in range(module):
                    row = canvas.pixels[top + y * module + dy]
                    for dx in range(module):
                        row[left + x * module + dx] = list(INK)


def heart_inside(cx, cy, scale):
    def inside(x, y):
        u = (x - cx) / scale
        v = -(y - cy) / scale
        return (u * u + v * v - 1) ** 3 - u * u * v * v * v <= 0
    return inside


def donate_picture():
    width, height = DONATE_SIZE
    canvas = Canvas(width, height, (0, 0, 0, 0))
    canvas.fill_rounded_rect(0, 0, width, height, 18, PAPER)
    # Both codes at one version, so they show at one size side by side.
    version = max(QrCode(note).version for note in NOTES)
    codes = [QrCode(note, min_version=version) for note in NOTES]
    quiet = 4
    card_size = 216
    module = card_size // (max(c.size for c in codes) + 2 * quiet)
    card_top = 14
    for code, card_left in zip(codes, (34, width - 34 - card_size)):
        canvas.fill_rounded_rect(card_left, card_top, card_left + card_size, card_top + card_size, 10, CARD)
        offset = (card_size - code.size * module) // 2
        draw_qr(canvas, code, card_left + offset, card_top + offset, module)
    heart_y = card_top + card_size / 2 - 4
    canvas.fill_shape(width / 2 - 36, heart_y - 40, width / 2 + 36, heart_y + 34,
                      heart_inside(width / 2, heart_y, 30), HEART)
    caption = zlib.decompress(base64.b64decode("".join(CAPTION_COVERAGE)))
    cap_width, cap_height = CAPTION_SIZE
    cap_left = (width - cap_width) // 2
    cap_top = card_top + card_size + 12
    for y in range(cap_height):
        for x in range(cap_width):
            canvas.blend(cap_left + x, cap_top + y, CAPTION_INK, caption[y * cap_width + x] / 255)
    return canvas, codes


def grain_field(width, height):
    """Fixed standard-normal values, three per pixel; the grain is these times its strength."""
    noise = random.Random(20240601)
    return [noise.gauss(0.0, 1.0) for _ in range(width * height * 3)]


def grained_rows(canvas, field, strength):
    """The canvas as byte rows with a paper grain of the given strength on every opaque pixel."""
    rows = canvas.rgba_rows()
    for y, row in enumerate(rows):
        base = y * canvas.width * 3
        for x in range(canvas.width):
            if row[x * 4 + 3] < 255:
                continue
            for i in range(3):
                shift = int(round(field[base + x * 3 + i] * strength))
                row[x * 4 + i] = max(0, min(255, row[x * 4 + i] + shift))
    return rows


def make_donate():
    canvas, codes = donate_picture()
    width, height = DONATE_SIZE
    field = grain_field(width, height)
    text = ("Corvelle About picture: two QR codes on a grained paper card, each a short UTF-8 note on how to "
            "support Corvelle and where its donation page (docs/about-donate.html) lives. "
            "Made by make_about_pictures.py.")
    limit = DONATE_BYTES - 12 - len(b"Comment\x00") - len(text)
    # Noise does not compress, so the file grows with the grain's strength: find the strongest grain
    # whose file still leaves room for the comment; the comment's padding takes up the last bytes.
    low, high = 0.0, 12.0
    best = None
    for _ in range(24):
        middle = (low + high) / 2
        rows = filter_all(grained_rows(canvas, field, middle))
        size = len(png_bytes(width, height, rows))
        if size <= limit:
            best = (rows, size)
            low = middle
        else:
            high = middle
    rows, size = best
    data = png_bytes(width, height, rows, padded_comment(text, size, DONATE_BYTES))
    assert len(data) == DONATE_BYTES, len(data)
    return data, codes, low


# ---------------------------------------------------------------------------------------------------
# The badge.

def make_badge():
    width, height = BADGE_SIZE
    canvas = Canvas(width, height, (0, 0, 0, 0))
    centre = width / 2

    def disc(radius):
        return lambda x, y: math.hypot(x - centre, y - centre) <= radius

    # 3 x 3 samples per pixel: smooth enough at this size, and the file keeps room for its comment.
    canvas.fill_shape(0, 0, width, height, disc(19.5), (22, 94, 196, 255), samples=3)
    # A white eighth note: an oval head, a stem and a flag.
    head = lambda x, y: ((x - 17.0) / 4.6) ** 2 + ((y - 26.5) / 3.4) ** 2 <= 1.0
    stem = lambda x, y: 20.0 <= x <= 22.2 and 10.0 <= y <= 26.5
    flag = lambda x, y: 22.2 <= x <= 28.0 and 10.0 + (x - 22.2) * 0.9 <= y <= 14.5 + (x - 22.2) * 1.1
    canvas.fill_shape(8, 6, 32, 32, lambda x, y: head(x, y) or stem(x, y) or flag(x, y), (255, 255, 255, 255),
                      samples=3)
    rows = filter_all(canvas.rgba_rows())
    size = len(png_bytes(width, height, rows))
    text = ("Corvelle About badge: a blue disc with a white note; pressing it plays the tune. "
            "By make_about_pictures.py.")
    data = png_bytes(width, height, rows, padded_comment(text, size, BADGE_BYTES))
    assert len(data) == BADGE_BYTES, len(data)
    return data


def main():
    donate, codes, strength = make_donate()
    badge = make_badge()
    with open(os.path.join(HERE, "about_donate.png"), "wb") as f:
        f.write(donate)
    with open(os.path.join(HERE, "about_badge.png"), "wb") as f:
        f.write(badge)
    for code, note in zip(codes, NOTES):
        print(f"QR version {code.version}-{code.level}, mask {code.mask}: {note}")
    print(f"grain strength {strength:.3f}")
    print(f"about_donate.png: {len(donate)} bytes; about_badge.png: {len(badge)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
