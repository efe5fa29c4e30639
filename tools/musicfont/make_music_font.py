#!/usr/bin/python3
"""Builds ZEPHMUSIC.ttf, the staff's music font, from LilyPond's installed music font.

Run with the system interpreter, which has the fontforge module:

    /usr/bin/python3 make_music_font.py SOURCE.otf COPYRIGHT FONT_OUT LICENCE_OUT

SOURCE.otf is the 20-point design of LilyPond's music font; COPYRIGHT is the Debian copyright file of the
package that ships it (/usr/share/doc/lilypond-fonts/copyright). The script writes the TrueType font and, beside
it, the licence text that must travel with it.

How the staff uses the font: it prints one character per glyph and positions it by the TOP-LEFT corner of the
character cell, i.e. at baseline minus the font's ascent, in twips (20 per point), with a staff line spacing of
150 twips whatever the point size. Notes are printed at 28 pt, clef, time signatures, rests and the tempo-mark
note at 26 pt, accidentals at 22 pt. So every glyph is scaled for the size it is printed at and placed so
that its musical reference point (head centre, G line, middle line, accidental centre) lands the right number
of staff spaces below the cell top. Every vertical position below is therefore written as "spaces below the
cell top" and converted with the one ascent of the font.
"""

import contextlib
import os
import re
import sys


@contextlib.contextmanager
def quiet_stderr():
    """fontforge chats on stderr (its program root, the source tables it skips); a build log has no use for
    that. Failures still arrive as exceptions, reported once stderr is back."""
    sys.stderr.flush()
    saved = os.dup(2)
    try:
        with open(os.devnull, "w") as null:
            os.dup2(null.fileno(), 2)
            yield
    finally:
        os.dup2(saved, 2)
        os.close(saved)


with quiet_stderr():
    import fontforge
    import psMat

FONT_NAME = "ZephMusicFont"
FONT_VERSION = "1.000"
OFL_URL = "https://openfontlicense.org"

# One em of 1000 units; the cell top lies 2000 units above the baseline. hhea, OS/2 typo and OS/2 win ascents
# all carry this one value (with fontforge's "add to default" offsets switched off), so that every text
# engine agrees on where the cell top is. Two ems leave room for the highest ink (the clef's top, 0.62 s
# below the cell top) and keep the head centres (1.51 em below the top) above the baseline. The descent only
# has to keep the lowest down-stems (650 units below the baseline) inside the cell.
UNITS_PER_EM = 1000
ASCENT = 2000
DESCENT = 700

TWIPS_PER_POINT = 20.0
STAFF_SPACE_TWIPS = 150.0

NOTE_POINTS = 28
SIGN_POINTS = 26  # clef, time signatures, rests
ACCIDENTAL_POINTS = 22

# Scale per size. An em is points x 20 twips and a staff space 150 twips, so one space is
#   28 pt: 150 / 560 = 0.26786 em = 267.9 units,   26 pt: 150 / 520 = 0.28846 em = 288.5 units,
#   22 pt: 150 / 440 = 0.34091 em = 340.9 units.
# The source's staff space measures 250 of its units (Source below), so its outlines are scaled by 1.0714,
# 1.1538 and 1.3636. A head centre 5.64 spaces below the cell top, for instance, lies at
# y = 2000 - 5.64 x 267.9 = 489 units.

# Stems are ours: LilyPond draws them itself and its font has none.
STEM_THICKNESS = 0.12  # staff spaces
STEM_LENGTH = 3.5  # staff spaces from the head centre to the stem end
STEM_LENGTH_32ND = 4.25  # three flags need a longer stem to clear the head

# Where the staff expects things, in staff spaces (s).
HEAD_CENTRE_BELOW_TOP = 5.64
HEAD_CENTRE_RIGHT_OF_X = 0.63  # the ledger lines run from x - 0.42 s to x + 1.68 s
WHOLE_NOTE_SHIFT_TWIPS = 30.0  # the whole note is printed 30 twips left of x
G_LINE_BELOW_TOP = 5.4  # clef printed at B + 6.4 s, G line at B + s
CLEF_LEFT = 0.3
TIME_MIDDLE_BELOW_TOP = 5.35  # printed at B + 7.35 s, middle line at B + 2 s
TIME_LEFT = 0.3
REST_CENTRE_RIGHT_OF_X = 0.63  # rests stand where a head would
ACCIDENTAL_CENTRE_BELOW_TOP = 4.29  # printed 1.35 s above the note's cell top
# The sign is printed at x - s; its right edge stays this far left of x, which also clears a whole-note head
# (1.96 s wide and centred like the others, so it reaches 0.35 s left of x).
ACCIDENTAL_RIGHT_GAP = 0.45
ADVANCE_MARGIN = 0.1


def fail(message):
    sys.exit("make_music_font: " + message)


def read_glyph_table(path):
    """The code point of every glyph the staff prints, by name, from the program's table of them."""
    pattern = re.compile(r"static constexpr char16_t (\w+) = (?:u'(.)'|(0x[0-9A-Fa-f]+));")
    table = {}
    try:
        with open(path, encoding="utf-8") as stream:
            for line in stream:
                match = pattern.search(line)
                if match:
                    name, char, number = match.groups()
                    table[name] = ord(char) if char else int(number, 16)
    except OSError as error:
        fail("cannot read the glyph table %s: %s" % (path, error))
    if not table:
        fail("no glyphs in the table %s" % path)
    return table


GLYPH = read_glyph_table(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "views",
                                      "music_glyphs.h"))


# Rests, by code: LilyPond's rest glyph and where the staff's middle line lies below the cell top
# (printed at B + 7.3 s, B + 7.35 s and B + 7.75 s; the middle line is B + 2 s). Every rest glyph of the
# source font has its origin on the middle line, which is where a treble staff puts it.
RESTS = {
    GLYPH["QuarterRest"]: ("rests.2", 5.3),
    GLYPH["EighthRest"]: ("rests.3", 5.35),
    GLYPH["SixteenthRest"]: ("rests.4", 5.75),
    GLYPH["ThirtySecondRest"]: ("rests.5", 5.75),
}

# Notes, by code: head, stem direction, flag, stem length (staff spaces from the head centre to the stem end).
NOTES = {
    GLYPH["WholeNote"]: ("noteheads.s0", None, None, 0.0),
    GLYPH["HalfNoteUp"]: ("noteheads.s1", "up", None, STEM_LENGTH),
    GLYPH["HalfNoteDown"]: ("noteheads.s1", "down", None, STEM_LENGTH),
    GLYPH["QuarterNoteUp"]: ("noteheads.s2", "up", None, STEM_LENGTH),
    GLYPH["QuarterNoteDown"]: ("noteheads.s2", "down", None, STEM_LENGTH),
    GLYPH["EighthNoteUp"]: ("noteheads.s2", "up", "flags.u3", STEM_LENGTH),
    GLYPH["EighthNoteDown"]: ("noteheads.s2", "down", "flags.d3", STEM_LENGTH),
    GLYPH["SixteenthNoteUp"]: ("noteheads.s2", "up", "flags.u4", STEM_LENGTH),
    GLYPH["SixteenthNoteDown"]: ("noteheads.s2", "down", "flags.d4", STEM_LENGTH),
    GLYPH["ThirtySecondNoteUp"]: ("noteheads.s2", "up", "flags.u5", STEM_LENGTH_32ND),
    GLYPH["ThirtySecondNoteDown"]: ("noteheads.s2", "down", "flags.d5", STEM_LENGTH_32ND),
    GLYPH["NoteHead"]: ("noteheads.s2", None, None, 0.0),
}

ACCIDENTALS = {
    GLYPH["Sharp"]: "accidentals.sharp",
    GLYPH["Flat"]: "accidentals.flat",
    GLYPH["Natural"]: "accidentals.natural",
}


def space_units(points):
    """One staff space (150 twips) in font units when the font is printed at the given size."""
    return STAFF_SPACE_TWIPS / (points * TWIPS_PER_POINT) * UNITS_PER_EM


def below_top(spaces, points):
    """The y (font units, up from the baseline) of a point the given staff spaces below the cell top."""
    return ASCENT - spaces * space_units(points)


class Source:
    """The source font, measured in its own staff spaces."""

    def __init__(self, path):
        try:
            with quiet_stderr():
                self.font = fontforge.open(path)
        except (EnvironmentError, TypeError) as error:
            fail("cannot open %s: %s" % (path, error))
        # The time-signature digits span exactly two staff spaces of the design (250 units on its
        # 1000-unit em: a 20 pt staff of four spaces). A note head is 272 units high: one space plus the
        # staff-line overlap, which we keep so heads touch the lines as they do in engraving.
        digit_heights = [self.bbox(name)[3] - self.bbox(name)[1] for name in ("three", "four")]
        self.space = round(sum(digit_heights) / len(digit_heights) / 2.0)
        head = self.bbox("noteheads.s2")
        if not 1.0 <= (head[3] - head[1]) / self.space <= 1.2:
            fail("unexpected proportions in %s (staff space %s units)" % (path, self.space))

    def glyph(self, name):
        if name not in self.font:
            fail("the source font has no glyph %s" % name)
        return self.font[name]

    def bbox(self, name):
        return self.glyph(name).boundingBox()

    def layer(self, name, points, dx, dy):
        """The glyph's outline scaled to the staff space of the given size, its origin moved to (dx, dy)."""
        scale = space_units(points) / self.space
        layer = self.glyph(name).foreground.dup()
        layer.transform(psMat.compose(psMat.scale(scale), psMat.translate(dx, dy)))
        return layer

    def width(self, name, points):
        box = self.bbox(name)
        return (box[2] - box[0]) * space_units(points) / self.space

    def attach_y(self, name, up):
        """Height above the head centre (source units) where a stem meets the head: the outline's rightmost
        point for an up stem, its leftmost for a down stem."""
        outer = max(self.glyph(name).foreground, key=lambda c: c.boundingBox()[2] - c.boundingBox()[0])
        points = [p for p in outer if p.on_curve]
        pick = max(points, key=lambda p: p.x) if up else min(points, key=lambda p: p.x)
        return pick.y


def rectangle(x0, y0, x1, y1):
    contour = fontforge.contour()
    contour.moveTo(x0, y0)
    contour.lineTo(x0, y1)
    contour.lineTo(x1, y1)
    contour.lineTo(x1, y0)
    contour.closed = True
    return contour


def note_layer(source, head, stem, flag, stem_length, whole):
    """Head centred HEAD_CENTRE_RIGHT_OF_X right of the print position, with our stem and the source flag."""
    s = space_units(NOTE_POINTS)
    shift = WHOLE_NOTE_SHIFT_TWIPS / (NOTE_POINTS * TWIPS_PER_POINT) * UNITS_PER_EM if whole else 0.0
    box = source.bbox(head)
    head_width = source.width(head, NOTE_POINTS)
    left = shift + HEAD_CENTRE_RIGHT_OF_X * s - head_width / 2.0
    centre_y = below_top(HEAD_CENTRE_BELOW_TOP, NOTE_POINTS)
    layer = source.layer(head, NOTE_POINTS, left - box[0] * s / source.space, centre_y)
    if stem is None:
        return layer
    thickness = STEM_THICKNESS * s
    length = stem_length * s
    attach = source.attach_y(head, stem == "up") * s / source.space
    if stem == "up":
        right = left + head_width
        layer += rectangle(right - thickness, centre_y + attach, right, centre_y + length)
        end = centre_y + length
    else:
        right = left + thickness
        layer += rectangle(left, centre_y - length, right, centre_y + attach)
        end = centre_y - length
    if flag:
        # A flag's origin is the outer edge of the stem at its end; the flag carries a sliver of stem of its
        # own, which falls inside ours.
        layer += source.layer(flag, NOTE_POINTS, right, end)
    return layer


def rest_layer(source, name, middle_below_top):
    s = space_units(SIGN_POINTS)
    box = source.bbox(name)
    left = REST_CENTRE_RIGHT_OF_X * s - source.width(name, SIGN_POINTS) / 2.0
    return source.layer(name, SIGN_POINTS, left - box[0] * s / source.space, below_top(middle_below_top, SIGN_POINTS))


def accidental_layer(source, name):
    """The source puts each sign's origin at its note's height (for the flat, the middle of its bowl)."""
    s = space_units(ACCIDENTAL_POINTS)
    box = source.bbox(name)
    # Printed at x - s: x is one space right of the glyph origin.
    right = (1.0 - ACCIDENTAL_RIGHT_GAP) * s
    return source.layer(name, ACCIDENTAL_POINTS, right - box[2] * s / source.space,
                        below_top(ACCIDENTAL_CENTRE_BELOW_TOP, ACCIDENTAL_POINTS))


def clef_layer(source):
    s = space_units(SIGN_POINTS)
    box = source.bbox("clefs.G")
    return source.layer("clefs.G", SIGN_POINTS, CLEF_LEFT * s - box[0] * s / source.space,
                        below_top(G_LINE_BELOW_TOP, SIGN_POINTS))


def common_time_layer(source):
    s = space_units(SIGN_POINTS)
    box = source.bbox("timesig.C44")
    # The C is centred on its origin, which goes on the middle line.
    return source.layer("timesig.C44", SIGN_POINTS, TIME_LEFT * s - box[0] * s / source.space,
                        below_top(TIME_MIDDLE_BELOW_TOP, SIGN_POINTS))


def three_four_layer(source):
    """3 over 4: the digits stand on their baselines, each two spaces high, centred on one axis."""
    s = space_units(SIGN_POINTS)
    middle = below_top(TIME_MIDDLE_BELOW_TOP, SIGN_POINTS)
    axis = TIME_LEFT * s + max(source.width(n, SIGN_POINTS) for n in ("three", "four")) / 2.0
    layer = fontforge.layer()
    for name, baseline in (("three", middle), ("four", middle - 2.0 * s)):
        box = source.bbox(name)
        centre = (box[0] + box[2]) / 2.0 * s / source.space
        layer += source.layer(name, SIGN_POINTS, axis - centre, baseline)
    return layer


def compose_glyphs(source):
    """Every code point the staff prints, with its outline."""
    glyphs = {
        GLYPH["TrebleClef"]: clef_layer(source),
        GLYPH["CommonTime"]: common_time_layer(source),
        GLYPH["ThreeFourTime"]: three_four_layer(source),
    }
    for code, (head, stem, flag, stem_length) in NOTES.items():
        glyphs[code] = note_layer(source, head, stem, flag, stem_length, code == GLYPH["WholeNote"])
    for code, (name, middle) in RESTS.items():
        glyphs[code] = rest_layer(source, name, middle)
    for code, name in ACCIDENTALS.items():
        glyphs[code] = accidental_layer(source, name)
    return glyphs


def parse_copyright(path):
    """The copyright line of the font sources and the OFL text from a Debian machine-readable copyright file."""
    try:
        with open(path, encoding="utf-8") as stream:
            text = stream.read()
    except OSError as error:
        fail("cannot read %s: %s" % (path, error))
    paragraphs = [p.split("\n") for p in text.split("\n\n")]
    holders, licence = None, None
    for lines in paragraphs:
        fields = field_values(lines)
        if fields.get("License", [""])[0].strip() != "OFL-1.1":
            continue
        if "Files" in fields and holders is None:
            holders = [line.strip() for line in fields.get("Copyright", []) if line.strip()]
        elif "Files" not in fields:
            licence = [("" if line.strip() == "." else line[1:]) for line in fields["License"][1:]]
    if not holders or not licence:
        fail("%s holds no OFL-1.1 copyright and licence text" % path)
    return holders, licence


def field_values(lines):
    """Fields of one paragraph: name -> [first line, continuation lines...]."""
    fields, current = {}, None
    for line in lines:
        if line.startswith((" ", "\t")) and current:
            fields[current].append(line)
        elif ":" in line:
            current, value = line.split(":", 1)
            fields[current] = [value]
    return fields


def ascii_copyright(holders):
    text = "; ".join(holders)
    for wide, narrow in (("\u00a9", "(c)"), ("\u2013", "-"), ("\u2014", "-")):
        text = text.replace(wide, narrow)
    return "Copyright " + text if not text.lower().startswith("copyright") else text


def build_font(source, holders):
    font = fontforge.font()
    # fontforge ties its own ascent and descent to the em (they must add up to it); the metrics that text
    # engines read are the hhea and OS/2 values set below.
    font.em = UNITS_PER_EM
    font.encoding = "UnicodeBmp"
    font.fontname = FONT_NAME
    font.familyname = FONT_NAME
    font.fullname = FONT_NAME
    font.version = FONT_VERSION
    font.copyright = ascii_copyright(holders) + ". Outlines from LilyPond's music font, recomposed for the staff."
    for name, value in (
        ("SubFamily", "Regular"),
        ("UniqueID", "%s %s" % (FONT_NAME, FONT_VERSION)),
        ("Version", "Version " + FONT_VERSION),
        ("License", "This Font Software is licensed under the SIL Open Font License, Version 1.1."),
        ("License URL", OFL_URL),
    ):
        font.appendSFNTName("English (US)", name, value)
    # One ascent for every table; no "add to default" offsets, which would make fontforge add its own.
    font.hhea_ascent_add = font.os2_typoascent_add = font.os2_winascent_add = False
    font.hhea_descent_add = font.os2_typodescent_add = font.os2_windescent_add = False
    font.hhea_ascent = font.os2_typoascent = font.os2_winascent = ASCENT
    font.hhea_descent = font.os2_typodescent = -DESCENT
    font.os2_windescent = DESCENT
    font.hhea_linegap = font.os2_typolinegap = 0
    font.os2_use_typo_metrics = True
    font.os2_fstype = 0  # installable: the program adds it for its own process

    space = font.createChar(0x20, "space")
    space.width = int(round(space_units(NOTE_POINTS)))
    margin = ADVANCE_MARGIN * space_units(NOTE_POINTS)
    for code, layer in sorted(compose_glyphs(source).items()):
        glyph = font.createChar(code, fontforge.nameFromUnicode(code))
        glyph.foreground = layer
        glyph.removeOverlap()
        glyph.correctDirection()
        glyph.round()
        glyph.width = int(round(max(glyph.boundingBox()[2] + margin, margin)))
    return font


def write_licence(path, holders, licence):
    header = [
        "ZEPHMUSIC.ttf (font family %s) is a Modified Version of the music font of LilyPond," % FONT_NAME,
        "made at build time from the installed lilypond-fonts package: the glyph outlines are rescaled,",
        "stems are added and each glyph is placed at the code point the staff prints.",
        "",
        "The original font software:",
    ]
    header += ["  Copyright " + line for line in holders]
    header += [
        "",
        "The modified font uses none of the Reserved Font Names of the original and is distributed,",
        "as the original is, under the SIL Open Font License, Version 1.1:",
        "",
        "",
    ]
    try:
        with open(path, "w", encoding="utf-8") as stream:
            stream.write("\n".join(header + licence).rstrip("\n") + "\n")
    except OSError as error:
        fail("cannot write %s: %s" % (path, error))


def main(argv):
    if len(argv) != 5:
        fail("usage: make_music_font.py SOURCE.otf COPYRIGHT FONT_OUT LICENCE_OUT")
    source_path, copyright_path, font_path, licence_path = argv[1:]
    holders, licence = parse_copyright(copyright_path)
    font = build_font(Source(source_path), holders)
    try:
        font.generate(font_path, flags=("opentype", "omit-instructions"))
    except EnvironmentError as error:
        fail("cannot write %s: %s" % (font_path, error))
    write_licence(licence_path, holders, licence)


if __name__ == "__main__":
    main(sys.argv)
