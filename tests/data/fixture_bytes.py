"""The file family's bytes as the fixture generators write them: MBF reals, date serials and
date reals, and MASTER texts. Written from the format's rules, independently of the library."""
import struct

MONTHS = [0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334]


def mbf(value):
    """IEEE single -> 4-byte MBF cell (b0..b3)."""
    if value == 0:
        return b"\0\0\0\0"
    b = struct.pack("<f", value)
    sign = b[3] & 0x80
    exp = ((b[3] & 0x7F) << 1) | (b[2] >> 7)
    return bytes([b[0], b[1], sign | (b[2] & 0x7F), exp + 2])


def serial(y, m, d):
    """Date serial (1 = 1 January 1961) of a year (full, or since 1900), month and day."""
    if y > 1900:
        y -= 1900
    s = d + MONTHS[m - 1] + (y - 61) * 1461 // 4
    if m > 2 and y % 4 == 0:
        s += 1
    return s


def split(s):
    """Date serial -> (years since 1900, month, day)."""
    c = (4 * s - 1) // 1461
    r = s - (c * 1461) // 4
    y = c + 61
    table = [t + (1 if (i >= 2 and y % 4 == 0) else 0) for i, t in enumerate(MONTHS)]
    m = max(i + 1 for i in range(12) if table[i] < r)
    return y, m, r - table[m - 1]


def date_real(s):
    """Date serial -> the stored YYMMDD real (years since 1900)."""
    y, m, d = split(s)
    return float(y * 10000 + m * 100 + d)


def is_weekend(s):
    return (s - 1) % 7 in (0, 6)


def weekdays(first, count):
    """count Monday-to-Friday serials from first on."""
    out, s = [], first
    while len(out) < count:
        if not is_weekend(s):
            out.append(s)
        s += 1
    return out


def text16(t):
    """A 16-character MASTER text, blank-padded."""
    t = t.encode("latin-1")
    return (t + b" " * 16)[:16]


def dir_entry(name):
    """A MASTER "<DIR>" entry for the subdirectory name."""
    r = bytearray(53)
    r[7:15] = (name.encode() + b" " * 8)[:8]
    r[15:18] = b"   "
    r[18:23] = b"<DIR>"
    return bytes(r)
