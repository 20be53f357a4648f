#!/usr/bin/env python3
"""Writes the portfolios under tests/data/read used by the read-path tests.

The files are committed; run this only to change them. It encodes MBF reals on its own
(independently of the library) so the tests check the library against separate bytes.
"""
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing is written beside the fixtures but the fixtures
sys.path.insert(0, os.path.dirname(HERE))
from fixture_bytes import date_real, dir_entry, mbf, serial, text16, weekdays  # noqa: E402


def entry(fileno, symbol="", name="", rl=28, fc=7, first=0.0, last=0.0, per=b"D"):
    r = bytearray(53)
    r[0] = fileno
    r[3] = rl & 0xFF
    r[4] = fc & 0xFF
    r[7:23] = text16(name)
    r[25:29] = mbf(first)
    r[29:33] = mbf(last)
    r[33] = per[0]
    r[36:52] = text16(symbol)
    return bytes(r)


def master(entries, count=None, extra=b""):
    n = len(entries) if count is None else count
    h = bytearray(53)
    h[0:2] = struct.pack("<H", n)
    h[2:4] = struct.pack("<H", n)
    return bytes(h) + b"".join(entries) + extra


def dat(rl, rows, header_records=None):
    r = len(rows) + 1 if header_records is None else header_records
    h = bytearray(rl)
    h[2:4] = struct.pack("<h", r)
    out = bytes(h)
    for row in rows:
        rec = b"".join(mbf(v) for v in row)
        out += (rec + b"\0" * rl)[:rl]
    return out


def quotes(first_serial, count, fields, base=10.0):
    """Rows of (date, open, high, low, close, vol, oi) cut to fields columns."""
    rows = []
    for i, s in enumerate(weekdays(first_serial, count)):
        c = base + i * 0.25
        row = [date_real(s), c - 0.125, c + 0.5, c - 0.5, c, 1000.0 + 10 * i, 500.0 + i]
        rows.append(row[:fields])
    return rows


def write(path, data):
    path = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    for d in ("tree", "broken"):
        shutil.rmtree(os.path.join(HERE, d), ignore_errors=True)
    jan3 = serial(2000, 1, 3)

    # A portfolio with a sub-portfolio listed before the symbols.
    aaa = quotes(jan3, 10, 7)
    write("tree/MASTER", master([
        dir_entry("SUB"),
        entry(1, "AAA", "ALPHA INC", 28, 7, aaa[0][0], aaa[-1][0]),
        entry(2, "IBM X", "INTL BUS MACH", 24, 6),
        entry(3, "", "BLANKSYM", 20, 5, per=b"W"),
    ]))
    write("tree/F1.DAT", dat(28, aaa))
    write("tree/f2.dat", dat(24, quotes(jan3, 5, 6, base=100.0)))
    write("tree/F2.dop", b'"DATE",0,0\r\n"OPEN",2,2\r\n"HIGH",2,2\r\n"LOW",2,2\r\n'
                         b'"CLOSE",2,2\r\n"VOL",1000,100\r\n')
    write("tree/F3.DAT", dat(20, quotes(jan3, 4, 5, base=50.0)))
    write("tree/SUB/master", master([
        entry(1, "AAA", "SUB ALPHA", 28, 7),
        entry(2, "DEEP", "DEEP ISSUE", 28, 7),
    ]))
    write("tree/SUB/F1.DAT", dat(28, quotes(jan3, 3, 7, base=1.0)))
    write("tree/SUB/F2.DAT", dat(28, quotes(serial(1999, 12, 1), 6, 7, base=2.0)))

    # A MASTER claiming three entries that holds one and a half.
    write("broken/truncated_master/MASTER",
          master([entry(1, "ONE", "FIRST ONE")], count=3, extra=entry(2, "TWO", "SECOND")[:30]))
    write("broken/truncated_master/F1.DAT", dat(28, quotes(jan3, 2, 7)))

    # Directory entries that try to lead out of the portfolio; a MASTER above holds OUTSIDE
    # and one below a path with a separator holds HIDDEN: neither may be found from inner/.
    write("broken/escape/MASTER", master([entry(1, "OUTSIDE", "OUTSIDE ISSUE")]))
    write("broken/escape/F1.DAT", dat(28, quotes(jan3, 2, 7)))
    write("broken/escape/inner/MASTER", master([
        dir_entry(".."), dir_entry("."), dir_entry("/etc"), dir_entry("SUB/LOW"),
        dir_entry("C:SUB"), dir_entry("SUB\\LOW"),
        entry(1, "SAFE", "SAFE ISSUE"),
    ]))
    write("broken/escape/inner/F1.DAT", dat(28, quotes(jan3, 2, 7)))
    write("broken/escape/inner/SUB/LOW/MASTER", master([entry(1, "HIDDEN", "HIDDEN ISSUE")]))
    write("broken/escape/inner/SUB/LOW/F1.DAT", dat(28, quotes(jan3, 2, 7)))

    # Record lengths the layout refuses or must keep inside the record.
    write("broken/lengths/MASTER", master([
        entry(1, "RL0", "", 0, 0), entry(2, "RL3", "", 3, 0), entry(3, "RL127", "", 127, 31),
        entry(4, "RLM1", "", -1, 7), entry(5, "RL8", "", 8, 2), entry(6, "RL32", "", 32, 8),
        entry(7, "RL127D", "", 127, 31),
    ]))
    for n, rl in ((1, 0), (2, 3), (3, 127), (4, 255), (5, 8), (6, 32)):
        write("broken/lengths/F%d.DAT" % n, dat(max(rl, 4) if rl != 255 else 4, []))
    write("broken/lengths/F7.DAT", dat(127, [r[:5] for r in quotes(jan3, 3, 5)]))
    write("broken/lengths/F7.DOP", b'"DATE",0,0\n"OPEN",0,0\n"HIGH",0,0\n"LOW",0,0\n"CLOSE",0,2\n')

    # A DOP with lines the parser must skip or take by prefix.
    long_line = b'"' + b"X" * 400 + b'",1,1\n'
    write("broken/odd_dop/MASTER", master([entry(1, "ODD", "ODD DOP", 28, 7)]))
    write("broken/odd_dop/F1.DAT", dat(28, quotes(jan3, 3, 7)))
    write("broken/odd_dop/F1.DOP",
          b"\n; a comment line\n"
          b'"Date time",-1,-2\n'
          b'  "HIGH",9,9\n'
          b'"Open Interest",1,2\n'
          b'"XYZ",5,5\n'
          b'"high"\n'
          + long_line +
          b'"low",3\n'
          b'"CLOSE",,4\r\n'
          b'"vol",1000,100,7\n'
          b'"oi",-7,5')

    # A data file shorter than its header claims (header says 10 quotes, 3 are there).
    write("broken/short_dat/MASTER", master([entry(1, "SHORT", "SHORT FILE", 28, 7)]))
    write("broken/short_dat/F1.DAT", dat(28, quotes(jan3, 3, 7), header_records=11))


if __name__ == "__main__":
    main()
