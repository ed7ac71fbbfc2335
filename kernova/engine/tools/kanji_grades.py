#!/usr/bin/env python3
"""Writes the kanji grade table of the coverage sets from KANJIDIC.

Usage: kanji_grades.py KANJIDIC OUTPUT

KANJIDIC is the EUC-JP text file of Debian's kanjidic package (one kanji a line:
the kanji, its JIS code, then fields such as U4e9c for its Unicode code point and
G1..G6 for the school grade it is taught in, G8 for the other joyo kanji). The
output is a C++ fragment with two ascending arrays of code points (all of them
in the Basic Multilingual Plane, so 16 bits each).
"""
import re
import sys


def read_grades(path):
    kyoiku, secondary = [], []
    with open(path, "rb") as data:
        for raw in data:
            line = raw.decode("euc_jp", errors="strict")
            if line.startswith("#"):
                continue
            fields = line.split()
            code = next((f for f in fields if re.fullmatch(r"U[0-9a-fA-F]{4,5}", f)), None)
            grade = next((f for f in fields if re.fullmatch(r"G[0-9]+", f)), None)
            if code is None or grade is None:
                continue
            point, level = int(code[1:], 16), int(grade[1:])
            if 1 <= level <= 6:
                kyoiku.append(point)
            elif level == 8:
                secondary.append(point)
    return sorted(kyoiku), sorted(secondary)


def array(name, points):
    if any(p > 0xFFFF for p in points):
        sys.exit("kanji_grades.py: a graded kanji outside the BMP; widen the table")
    rows = [", ".join("0x%04X" % p for p in points[i:i + 12]) for i in range(0, len(points), 12)]
    body = ",\n    ".join(rows)
    return "inline constexpr char16_t %s[] = {\n    %s};\n" % (name, body)


def main():
    source, output = sys.argv[1], sys.argv[2]
    kyoiku, secondary = read_grades(source)
    if not kyoiku or not secondary:
        sys.exit("kanji_grades.py: no graded kanji in " + source)
    text = ("// Generated at build time from %s by kanji_grades.py; do not edit.\n" % source
            + "// Kanji taught in grades 1 to 6 (G1..G6), and the other joyo kanji (G8).\n"
            + array("kKyoikuKanji", kyoiku) + array("kOtherJoyoKanji", secondary))
    with open(output, "w", encoding="ascii") as out:
        out.write(text)


if __name__ == "__main__":
    main()
