#!/usr/bin/env python3
"""Writes the golden edit cases under tests/data/edit, one directory per case:

  input/       the portfolio before the edit (MASTER, data and layout files)
  request.txt  the request: key, op, first and last date serials, the six values, quote count
  expected/    every file of the portfolio after the edit, backups included

The files are committed; run this only to change them (`--check` compares instead of writing).
It encodes MBF reals, dates and the file layouts on its own and applies each edit by its own
reading of the format, independently of the library, so the tests check the library against
separate bytes.
"""
import datetime
import math
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing is written beside the fixtures but the fixtures
sys.path.insert(0, os.path.dirname(HERE))
from fixture_bytes import (date_real, dir_entry, is_weekend, mbf, serial, split,  # noqa: E402
                           text16, weekdays)

KEEP = float("nan")
FIELDS = ["DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"]
DEFAULT_LAYOUTS = {
    12: ["DATE", "CLOSE", "VOL"],
    16: ["DATE", "HIGH", "LOW", "CLOSE"],
    18: ["DATE", "CLOSE"],
    24: ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL"],
    28: ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"],
}


# --- 4-byte reals -------------------------------------------------------------------------

def f32(value):
    """value rounded to IEEE single precision."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def from_mbf(cell):
    """4-byte MBF cell -> value."""
    if cell[3] == 0:
        return 0.0
    sign = -1.0 if cell[2] & 0x80 else 1.0
    fraction = ((cell[2] & 0x7F) << 16) | (cell[1] << 8) | cell[0]
    return sign * (1.0 + fraction / float(1 << 23)) * 2.0 ** (cell[3] - 129)


# --- dates --------------------------------------------------------------------------------

def serial_of_real(x):
    if int(x / 10000) < 60:
        x += 1000000
    yy = int(x / 10000)
    rest = x - yy * 10000
    mm = int(rest / 100)
    return serial(yy, mm, int(rest - mm * 100))


def previous_weekday(s):
    s -= 1
    while is_weekend(s):
        s -= 1
    return s


def mmddyy(s):
    y, m, d = split(s)
    return "%02d/%02d/%02d" % (m, d, y % 100)


# --- files --------------------------------------------------------------------------------

def entry(fileno, symbol, name, rl, fc, first, last, per=b"D"):
    r = bytearray(53)
    r[0] = fileno
    r[1:3] = b"\x11\x22"  # bytes the format leaves alone: they must survive
    r[3] = rl
    r[4] = fc
    r[7:23] = text16(name)
    r[25:29] = mbf(date_real(first))
    r[29:33] = mbf(date_real(last))
    r[33] = per[0]
    r[36:52] = text16(symbol)
    r[52] = 0x5A
    return bytes(r)


def master(entries):
    h = bytearray(53)
    h[0:2] = struct.pack("<H", len(entries))
    h[2:4] = struct.pack("<H", len(entries))
    h[4:8] = b"HDR!"
    return bytes(h) + b"".join(entries)


def dop(columns):
    return b"".join(b'"%s",2,2\r\n' % c.encode() for c in columns)


class Series:
    """One symbol's data file: record length, column names and records as byte strings."""

    def __init__(self, rl, columns, rows, tail=b""):
        self.rl = rl
        self.columns = columns
        self.header = bytearray(rl)
        self.header[0:2] = b"\x07\x00"
        self.header[4:rl] = (b"HEADERTAIL" * 8)[: rl - 4]
        self.records = []
        for row in rows:
            rec = b"".join(mbf(f32(v)) for v in row)
            self.records.append(bytearray((rec + tail + b"\0" * rl)[:rl]))

    def column(self, field):
        """0-based column of field, or None when the layout lacks it."""
        return self.columns.index(field) if field in self.columns else None

    def date(self, rec):
        c = self.column("DATE")
        return serial_of_real(from_mbf(rec[4 * c: 4 * c + 4]))

    def data(self, records=None):
        records = self.records if records is None else records
        header = bytearray(self.header)
        header[2:4] = struct.pack("<h", len(records) + 1)
        return bytes(header) + b"".join(bytes(r) for r in records)


# --- the edit, by the format's own rules -------------------------------------------------

def apply_edit(series, request):
    """The records after the request, and the MASTER corrections [(which, serial)]."""
    op, first, last, values = request["op"], request["first"], request["last"], request["values"]
    out, corrections = [], []
    in_range = [first <= series.date(r) <= last for r in series.records]
    if op in (1, 2, 3):
        for rec, hit in zip(series.records, in_range):
            rec = bytearray(rec)
            if hit:
                for field, value in zip(FIELDS[2:], values):
                    c = series.column(field)
                    if c is None or math.isnan(value):
                        continue
                    cell = slice(4 * c, 4 * c + 4)
                    if op == 1:
                        rec[cell] = mbf(f32(value))
                    else:  # the product of two singles is exact in a double, rounded once
                        rec[cell] = mbf(f32(from_mbf(rec[cell]) * f32(value)))
            out.append(rec)
    elif op == 4:
        dates = [series.date(r) for r in series.records]
        k = dates.index(first)  # the quote the delete finds
        gone = in_range.index(True)
        out = [r for i, r in enumerate(series.records) if i != gone]
        n = request["quotes"]
        if k == 0 and n > 1:
            corrections = [("first", dates[1])]
        elif k == n - 1 and n > 1:
            corrections = [("last", dates[n - 2])]
        elif k == 0 and n == 1:
            corrections = [("last", dates[0]), ("first", dates[0])]
    elif op == 5:
        done = False
        for rec in series.records:
            if not done and series.date(rec) == first:
                copy = bytearray(rec)
                c = series.column("DATE")
                copy[4 * c: 4 * c + 4] = mbf(date_real(previous_weekday(first)))
                out.append(copy)
                done = True
            out.append(bytearray(rec))
    return out, corrections


def corrected_master(data, fileno, which, day):
    data = bytearray(data)
    offset = 25 if which == "first" else 29
    for e in range(1, len(data) // 53):
        rec = data[53 * e: 53 * e + 53]
        if rec[0] == fileno and rec[18:23] != b"<DIR>":
            data[53 * e + offset: 53 * e + offset + 4] = mbf(date_real(day))
    return bytes(data)


def value_text(v):
    return "keep" if math.isnan(v) else repr(f32(v))


# --- the cases ----------------------------------------------------------------------------

def rows_for(columns, days, base=10.0, times=None):
    rows = []
    for i, s in enumerate(days):
        c = base + i * 0.25
        values = {"DATE": date_real(s), "TIME": (times or [0.0] * len(days))[i],
                  "OPEN": c - 0.125, "HIGH": c + 0.5, "LOW": c - 0.5, "CLOSE": c,
                  "VOL": 1000.0 + 10 * i, "OI": 500.0 + i}
        rows.append([values[col] for col in columns])
    return rows


JAN3 = serial(2000, 1, 3)  # a Monday


def day_count(s):
    """The request's date: days with 1 = 1 January 1900 (0 stays 0), from the calendar."""
    if s == 0:
        return 0
    y, m, d = split(s)
    return (datetime.date(1900 + y, m, d) - datetime.date(1899, 12, 31)).days


def case(name, doc, series, request, with_dop, names=None, master_first=None):
    """Builds one case: series is F1.DAT of symbol AAA beside an untouched F2.DAT (BBB).
    master_first: the first date AAA's MASTER entry claims, when not its oldest quote's."""
    names = names or {}
    master_name = names.get("MASTER", "MASTER")
    dat_name = names.get("DAT", "F1.DAT")
    days = [series.date(r) for r in series.records]
    other = Series(28, DEFAULT_LAYOUTS[28], rows_for(DEFAULT_LAYOUTS[28], days[:3], 90.0))
    entries = [
        dir_entry("EMPTY"),
        entry(1, "AAA", "ALPHA ISSUE", series.rl, len(series.columns),
              master_first or days[0], days[-1]),
        entry(2, "BBB", "BETA ISSUE", 28, 7, days[0], days[2] if len(days) > 2 else days[0]),
    ]
    files = {master_name: master(entries), dat_name: series.data(), "F2.DAT": other.data()}
    if with_dop:
        files["F1.DOP"] = dop(series.columns)
    request = dict(request, quotes=len(series.records))

    records, corrections = apply_edit(series, request)
    expected = dict(files)
    expected[dat_name] = series.data(records)
    expected["F1.BAK"] = files[dat_name]
    for which, day in corrections:
        expected[master_name + ".BAK"] = expected[master_name]
        expected[master_name] = corrected_master(expected[master_name], 1, which, day)

    lines = ["# " + doc,
             "key AAA",
             "op %d" % request["op"],
             "first %d  # %s" % (day_count(request["first"]),
                                 mmddyy(request["first"]) if request["first"] else "-"),
             "last %d  # %s" % (day_count(request["last"]), mmddyy(request["last"])),
             "values " + " ".join(value_text(v) for v in request["values"]),
             "quotes %d" % request["quotes"]]
    return name, files, (("\n".join(lines) + "\n").encode()), expected


def cases():
    keep6 = [KEEP] * 6
    d28, d24, d16 = DEFAULT_LAYOUTS[28], DEFAULT_LAYOUTS[24], DEFAULT_LAYOUTS[16]
    days = weekdays(JAN3, 8)
    with_time = ["DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"]
    times = [93000.0, 100000.0, 93000.0, 143015.0, 93000.0, 100000.0, 93000.0, 160000.0]
    # Six columns in a 28-byte record: the last four bytes of every record are not a field.
    six = ["DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL"]
    dup = days[:4] + [days[3]] + days[4:7]  # the fourth day twice

    yield case("set_no_dop",
               "set one day (held twice) in a 28-byte file without a layout file",
               Series(28, d28, rows_for(d28, dup)),
               {"op": 1, "first": days[3], "last": days[3],
                "values": [12.5, 13.25, 11.75, 12.0, 2500.0, 640.0]}, False)
    yield case("set_dop",
               "set one day through a layout file whose record has bytes past its fields",
               Series(28, six, rows_for(six, days), tail=b"\xAB\xCD\xEF\x01"),
               {"op": 1, "first": days[2], "last": days[2],
                "values": [10.1, 20.2, 5.05, 15.15, 1234567.0, 99.0]}, True)
    yield case("set_keep_marks",
               "set close and volume only; the file has no OPEN, so its value is ignored",
               Series(16, d16, rows_for(d16, days)),
               {"op": 1, "first": days[5], "last": days[5],
                "values": [77.0, KEEP, KEEP, 8.875, 3000.0, KEEP]}, False)
    yield case("scale2_dop",
               "scale a date range (op 2) of an intraday file whose layout file maps TIME",
               Series(32, with_time, rows_for(with_time, days, times=times)),
               {"op": 2, "first": days[2], "last": days[5],
                "values": [1.1, 1.1, 1.1, 1.1, 0.9, 3.0]}, True)
    yield case("scale3_split_no_dop",
               "a 2 for 3 split before the sixth day (op 3, from date 0) in a 24-byte file",
               Series(24, d24, rows_for(d24, days)),
               {"op": 3, "first": 0, "last": days[5] - 1,
                "values": [1.5, 1.5, 1.5, 1.5, 2.0 / 3.0, 2.0 / 3.0]}, False)
    yield case("scale3_keep_marks_dop",
               "adjust prices only over a range (op 3, volume and interest kept), layout file",
               Series(28, d28, rows_for(d28, days)),
               {"op": 3, "first": days[1], "last": days[3],
                "values": [0.25, 0.25, 0.25, 0.25, KEEP, KEEP]}, True)
    yield case("delete_middle_dop",
               "delete a day held twice (the first goes); the MASTER stays as it was",
               Series(24, d24, rows_for(d24, dup)),
               {"op": 4, "first": days[3], "last": days[3], "values": keep6}, True)
    yield case("delete_first_no_dop",
               "delete the oldest quote: the MASTER's first date becomes the second quote's",
               Series(28, d28, rows_for(d28, days)),
               {"op": 4, "first": days[0], "last": days[0], "values": keep6}, False)
    yield case("delete_last_lower_case_dop",
               "delete the newest quote in a portfolio with lower-case names: the MASTER's "
               "last date becomes the previous quote's",
               Series(28, d28, rows_for(d28, days)),
               {"op": 4, "first": days[-1], "last": days[-1], "values": keep6}, True,
               names={"MASTER": "master", "DAT": "f1.dat"})
    yield case("delete_only_quote",
               "delete the only quote: both MASTER dates (the first one stale) become its date",
               Series(28, d28, rows_for(d28, days[:1])),
               {"op": 4, "first": days[0], "last": days[0], "values": keep6}, False,
               master_first=days[0] - 7)
    yield case("insert_monday_no_dop",
               "insert before a Monday: the copy is dated the Friday before",
               Series(28, d28, rows_for(d28, [d for d in days if d != days[4]])),
               {"op": 5, "first": days[5], "last": days[5], "values": keep6}, False)
    yield case("insert_wednesday_dop",
               "insert before a Wednesday of an intraday file: the copy, dated Tuesday, keeps "
               "its time",
               Series(32, with_time, rows_for(with_time, days[:1] + days[2:], times=times[:7])),
               {"op": 5, "first": days[2], "last": days[2], "values": keep6}, True)


# --- writing and checking -----------------------------------------------------------------

def tree(name, files, request, expected):
    out = {os.path.join(name, "request.txt"): request}
    for sub, content in (("input", files), ("expected", expected)):
        for file_name, data in content.items():
            out[os.path.join(name, sub, file_name)] = data
    return out


def main():
    wanted = {}
    for name, files, request, expected in cases():
        wanted.update(tree(name, files, request, expected))
    case_dirs = sorted({p.split(os.sep)[0] for p in wanted})
    if "--check" in sys.argv:
        present = {}
        for d in case_dirs:
            for root, _, names in os.walk(os.path.join(HERE, d)):
                for n in names:
                    path = os.path.join(root, n)
                    with open(path, "rb") as f:
                        present[os.path.relpath(path, HERE)] = f.read()
        differing = sorted(p for p in set(wanted) | set(present) if wanted.get(p) != present.get(p))
        for p in differing:
            print("differs:", p)
        return 1 if differing else 0
    for d in os.listdir(HERE):
        if os.path.isdir(os.path.join(HERE, d)):
            shutil.rmtree(os.path.join(HERE, d))
    for path, data in wanted.items():
        full = os.path.join(HERE, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
