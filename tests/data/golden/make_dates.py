#!/usr/bin/env python3
"""Writes dates.txt: each date serial in each of the twelve text formats (separator /).

The serial counts days with 1 = 1 January 1900; the texts come from Python's own calendar, so
the file checks the library against an independent reckoning.
"""
import datetime
import pathlib

EPOCH = datetime.date(1899, 12, 31)
DATES = [
    (1900, 1, 1), (1900, 1, 2), (1900, 2, 28), (1900, 3, 1), (1900, 12, 31), (1904, 2, 29),
    (1928, 10, 1), (1959, 12, 31), (1960, 1, 1), (1960, 2, 29), (1960, 12, 31),
    (1961, 1, 1), (1961, 1, 2), (1961, 2, 28), (1961, 3, 1), (1961, 12, 31), (1964, 2, 29),
    (1964, 3, 1), (1972, 6, 15), (1987, 10, 19), (1999, 12, 31), (2000, 1, 3), (2000, 2, 29),
    (2000, 12, 31), (2008, 9, 15), (2059, 12, 31), (2060, 1, 1), (2099, 12, 31),
]
FORMS = {
    1: "{yy}/{mm}/{dd}", 2: "{cc}{yy}/{mm}/{dd}", 3: "{mm}/{dd}/{yy}", 4: "{mm}/{dd}/{cc}{yy}",
    5: "{dd}/{mm}/{yy}", 6: "{dd}/{mm}/{cc}{yy}", 7: "{yy}{mm}{dd}", 8: "{cc}{yy}{mm}{dd}",
    9: "{mm}{dd}{yy}", 10: "{mm}{dd}{cc}{yy}", 11: "{dd}{mm}{yy}", 12: "{dd}{mm}{cc}{yy}",
}


def main():
    lines = ["# serial format text: the text of each date serial in each of the twelve formats"
             " (separator /); made by make_dates.py"]
    for form in FORMS:
        lines.append(f"0 {form} " + FORMS[form].format(cc="00", yy="00", mm="00", dd="00"))
    for y, m, d in DATES:
        day = datetime.date(y, m, d)
        serial = (day - EPOCH).days
        parts = dict(cc=f"{y // 100:02d}", yy=f"{y % 100:02d}", mm=f"{m:02d}", dd=f"{d:02d}")
        for form, pattern in FORMS.items():
            lines.append(f"{serial} {form} {pattern.format(**parts)}")
    out = pathlib.Path(__file__).with_name("dates.txt")
    out.write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
