#!/usr/bin/env python3
"""Writes the golden import cases under tests/data/import, one directory per record layout:

  <SYMBOL>.txt  the text imported into a new portfolio (the file's stem is the symbol)
  F1.DAT        the data file the import must write
  MASTER        the MASTER the import must write

The files are committed; run this only to change them (`--check` compares instead of writing).
It encodes the layouts, MBF reals and dates on its own, independently of the library.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(HERE))
from fixture_bytes import mbf, text16  # noqa: E402

LAYOUTS = {
    12: ["DATE", "CLOSE", "VOL"],
    16: ["DATE", "HIGH", "LOW", "CLOSE"],
    20: ["DATE", "OPEN", "HIGH", "LOW", "CLOSE"],
    24: ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL"],
    28: ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"],
    32: ["DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"],
}
# Each case: its symbol, record length, the text's columns and rows (oldest last, as many
# sites write them). A column the layout holds and the text lacks is written as 0.
CASES = [
    ("CLOSEONLY", 12, ["DATE", "CLOSE"], [("2024-01-03", [2.5]), ("2024-01-02", [2.25])]),
    ("HLC", 16, ["DATE", "HIGH", "LOW", "CLOSE"],
     [("1959-12-31", [3, 1, 2]), ("2001-02-28", [4.5, 3.5, 4])]),
    ("OHLC", 20, ["DATE", "OPEN", "HIGH", "LOW", "CLOSE"],
     [("1999-12-31", [1, 2, 0.5, 1.5]), ("2000-01-03", [1.5, 2.5, 1, 2])]),
    ("OHLCV", 24, ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOLUME"],
     [("2024-01-02", [1, 2, 0.5, 1.5, 1000]), ("2024-01-03", [1.5, 2.5, 1, 2, 2500])]),
    ("FUTURE", 28, ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOLUME", "OI"],
     [("2024-01-02", [1, 2, 0.5, 1.5, 1000, 70]), ("2024-01-03", [1.5, 2.5, 1, 2, 2500, 71])]),
    ("INTRA", 32, ["DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOLUME"],
     [("2024-01-02", ["09:30:00", 1, 2, 0.5, 1.5, 10]),
      ("2024-01-02", ["16:00:00", 1.5, 2.5, 1, 2, 20])]),
]


def long_date(iso):
    """The stored YYMMDD real of a date in the long form: years since 1900."""
    y, m, d = (int(p) for p in iso.split("-"))
    return float((y - 1900) * 10000 + m * 100 + d)


def time_real(text):
    h, m, s = (int(p) for p in text.split(":"))
    return float(h * 10000 + m * 100 + s)


def case_files(symbol, length, columns, rows):
    text = ",".join(columns) + "\n"
    for date, values in reversed(rows):
        text += ",".join([date] + [str(v) for v in values]) + "\n"
    layout = LAYOUTS[length]
    ordered = sorted(rows, key=lambda r: (r[0], r[1][0] if columns[1] == "TIME" else ""))
    header = bytearray(length)
    header[2:4] = struct.pack("<h", len(rows) + 1)
    data = bytes(header)
    names = ["VOL" if c == "VOLUME" else c for c in columns]
    for date, values in ordered:
        given = dict(zip(names[1:], values))
        record = b""
        for field in layout:
            if field == "DATE":
                record += mbf(long_date(date))
            elif field == "TIME":
                record += mbf(time_real(given["TIME"]))
            else:
                record += mbf(float(given.get(field, 0)))
        data += record
    entry = bytearray(53)
    entry[0] = 1
    entry[3] = length
    entry[4] = len(layout)
    entry[7:23] = text16(symbol)
    entry[25:29] = mbf(long_date(ordered[0][0]))
    entry[29:33] = mbf(long_date(ordered[-1][0]))
    entry[33] = ord("I" if "TIME" in layout else "D")
    entry[36:52] = text16(symbol)
    master = bytearray(53)
    master[0:2] = struct.pack("<H", 1)
    master[2:4] = struct.pack("<H", 1)
    return {symbol + ".txt": text.encode(), "F1.DAT": data, "MASTER": bytes(master + entry)}


def main():
    check = "--check" in sys.argv
    differ = []
    for symbol, length, columns, rows in CASES:
        folder = os.path.join(HERE, "L%d" % length)
        os.makedirs(folder, exist_ok=True)
        for name, content in case_files(symbol, length, columns, rows).items():
            path = os.path.join(folder, name)
            if check:
                with open(path, "rb") as f:
                    if f.read() != content:
                        differ.append(path)
            else:
                with open(path, "wb") as f:
                    f.write(content)
    if differ:
        print("differ:", *differ)
        sys.exit(1)


if __name__ == "__main__":
    main()
