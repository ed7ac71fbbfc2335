"""Builds and saves with fontTools the font that bench_font_save writes itself.

Usage: font_save_fonttools.py OUTLINES OUT.ttf
OUTLINES has one line per glyph: "unicode advance", then per contour " ;" followed by
" x,y,on" points (on is 1 for on-curve). Same geometry as the editor: unitsPerEm 2048,
ascender 1768, descender -280.
"""
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPointPen


def read_outlines(path):
    glyphs = []
    with open(path) as lines:
        for line in lines:
            head, *contours = line.rstrip("\n").split(" ;")
            unicode, advance = (int(v) for v in head.split())
            points = [[tuple(int(v) for v in p.split(",")) for p in c.split()] for c in contours]
            glyphs.append((unicode, advance, points))
    return glyphs


def draw(contours):
    pen = TTGlyphPointPen(None)
    for contour in contours:
        pen.beginPath()
        for x, y, on in contour:
            pen.addPoint((x, y), "line" if on else None)
        pen.endPath()
    return pen.glyph()


def main(source, target):
    glyphs = read_outlines(source)
    order = [".notdef"] + ["g%d" % i for i in range(len(glyphs))]
    builder = FontBuilder(2048, isTTF=True)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap({u: "g%d" % i for i, (u, _, _) in enumerate(glyphs)})
    outlines = {".notdef": draw([[(128, 0, 1), (128, 1536, 1), (896, 1536, 1), (896, 0, 1)]])}
    metrics = {".notdef": (1024, 128)}
    for i, (_, advance, contours) in enumerate(glyphs):
        glyph = draw(contours)
        outlines["g%d" % i] = glyph
    builder.setupGlyf(outlines)
    glyf = builder.font["glyf"]
    for i, (_, advance, _) in enumerate(glyphs):
        name = "g%d" % i
        metrics[name] = (advance, getattr(glyf[name], "xMin", 0))
    builder.setupHorizontalMetrics(metrics)
    builder.setupHorizontalHeader(ascent=1768, descent=-280)
    builder.setupNameTable({"familyName": "Bench", "styleName": "Regular"})
    builder.setupOS2(sTypoAscender=1768, sTypoDescender=-280, usWinAscent=1768, usWinDescent=280)
    builder.setupPost()
    builder.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
