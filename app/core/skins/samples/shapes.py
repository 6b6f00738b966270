"""Shapes shared by the skin, the smilies and the protocol pictures: the status
orb and the status badges, people, folders, sheets and the small corner marks.
Every picture is 16x16 and lit from the top left; a badge sits in the bottom
right corner over whatever it marks."""
from pixmap import Pixmap, rgb
from palette import pal, tone

SIZE = 16


def grid(text, palette):
    return Pixmap.from_grid(text, palette)


def icon(*layers):
    """A 16x16 picture of layers: a Pixmap, or (pixmap, x, y)."""
    return Pixmap(SIZE, SIZE).on(*layers)


def corner(badge):
    """A badge placed in the bottom right corner of a 16x16 picture."""
    return (badge, SIZE - badge.width, SIZE - badge.height)


def with_badge(base, badge):
    """base with badge in its corner, and a clear one-pixel gap cut around the
    badge so that it stands apart from what it covers."""
    placed = icon(corner(badge))
    gap = placed.outline(rgb("#000000"))
    return base.cut(gap).on(placed)


# The status orb: a glossy ball in the status colour.
ORB = """
.....1111.....
...11333311...
..1344443331..
.134555443331.
.134555433331.
13344444333321
13334443333321
13333333333321
13333333333221
.133333333221.
.123333332221.
..1223322221..
...11222211...
.....1111.....
"""


def orb(colour):
    return icon((grid(ORB, pal(colour)), 1, 1))


def ghost_orb():
    """Invisible: the orb as a pane of glass, its rim still drawn."""
    ball = grid(ORB, pal("grey"))
    rim = tone("grey", 2)
    return icon((ball.mapped(lambda p: p if p == rim else (p[0], p[1], p[2], 90)), 1, 1))


RING = """
................
......HHAA......
....HHhhaaAA....
...HhhhhaaaaB...
..GghhHHAAabbB..
..GggH....BbbB..
.GggG......BbbB.
.GggG......BbbB.
.FffF......CccC.
.FffF......CccC.
..FffF....DccC..
..FffeEEDDddcC..
...FeeeeddddD...
....EEeeddDD....
......EEDD......
................
"""


def spinner():
    """Connecting: a ring in eight parts, darkest at its head, paling along
    its tail."""
    fills = [tone("sky", n) for n in (1, 2, 2, 3, 3, 4, 4, 5)]
    rims = [tone("navy", 1)] + [tone("sky", n) for n in (1, 1, 2, 2, 2, 3, 3)]
    palette = {}
    for ch, fill, rim in zip("abcdefgh", fills, rims):
        palette[ch] = fill
        palette[ch.upper()] = rim
    return grid(RING, palette)


# Status badges, 9x9.
CLOCK = """
..11111..
.1555551.
1555k5551
1555k5551
1555kkk51
155555541
155555441
.1544441.
..11111..
"""

MOON = """
..11111..
.133a331.
133aa3b31
13aa33331
13aa33331
13aa33331
133aa3331
.133a331.
..11111..
"""

HOURGLASS = """
AAAAAAAAA
ACCCCCCCA
.1555551.
..13331..
...131...
..15351..
.1533351.
ACCCCCCCA
AAAAAAAAA
"""

NO_ENTRY = """
..11111..
.1344331.
134433331
13wwwww31
13wwwww21
13wwwww21
133332221
.1322221.
..11111..
"""

BUBBLE = """
.1111111.
155555551
155555551
15g5g5g51
155555541
154444441
.11114111
....1411.
.....11..
"""

DEVIL = """
1.......1
11.....11
131111131
.1333331.
1k33333k1
13kk3kk31
133333331
.1wwwww1.
..11111..
"""

CLOUD = """
...111...
..13331..
.1134441.
134444441
133333331
.1111111.
..b..b...
.b..b..b.
..b..b...
"""

HOUSE = """
....1....
...131...
..13331..
.1333331.
111111111
.APPPPPA.
.AP22PPA.
.AP22PPA.
.AAAAAAA.
"""

BRIEFCASE = """
.........
...111...
..1...1..
111111111
133333331
1111k1111
133343331
122222221
111111111
"""

BURGER = """
.........
..11111..
.1445441.
14w444w41
133333331
GgGgGgGgG
ABBBBBBBA
.1222221.
..11111..
"""

QUESTION = """
..11111..
.13www31.
13w333w31
133333w31
13333w331
1333w3331
133333321
.132w221.
..11111..
"""


# A little ghost: there, but not to be seen.
GHOST = """
..11111..
.1555551.
155555551
155k5k551
155k5k551
155555551
155555541
154544541
1.11.11.1
"""


def badge(shape, *ramps, **extra):
    """A status badge: shape drawn in the ramps given (first under 1-5, the
    second under A-E)."""
    palette = pal(ramps[0], *[(r, "ABCDE") for r in ramps[1:2]])
    palette.update({"P": tone("paper", 4), "g": tone("green", 2), "b": tone("sky", 3), "a": tone("yellow", 4)})
    palette.update(extra)
    return grid(shape, palette)


STATUS_BADGES = {
    "away": lambda: badge(CLOCK, "amber"),
    "na": lambda: badge(MOON, "navy"),
    "occupied": lambda: badge(HOURGLASS, "amber", "brown"),
    "dnd": lambda: badge(NO_ENTRY, "red"),
    "ffc": lambda: badge(BUBBLE, "paper"),
    "evil": lambda: badge(DEVIL, "purple"),
    "depression": lambda: badge(CLOUD, "steel"),
    "at_home": lambda: badge(HOUSE, "red", "paper"),
    "at_work": lambda: badge(BRIEFCASE, "brown"),
    "lunch": lambda: badge(BURGER, "amber", "brown", G=tone("green", 2), g=tone("green", 4)),
    "question": lambda: badge(QUESTION, "blue"),
    "invisible": lambda: badge(GHOST, "paper", k=tone("navy", 1)),
}


def status_picture(status):
    """The skin's picture of one status: the orb in the status's colour with
    the status's badge."""
    if status == "offline":
        return orb("grey")
    if status == "invisible":
        return with_badge(ghost_orb(), STATUS_BADGES["invisible"]())
    if status == "ifa":
        return slashed(ghost_orb())
    if status == "connecting":
        return spinner()
    colour = {"away": "amber", "na": "orange", "occupied": "red", "dnd": "red", "ffc": "lime"}.get(status, "green")
    base = orb(colour)
    if status == "online":
        return base
    return with_badge(base, STATUS_BADGES[status]())


# People: a head with hair over a shirt of the given ramp.
PERSON = """
................
......jjjj......
.....jhhhhj.....
....jhhhhhhj....
....jh4433hj....
....13433331....
....13333321....
.....133221.....
...AAA1111AAA...
..ADDDA33ACCCA..
.ADDCCCAACCCCBA.
.ADCCCCCCCCCCBA.
.ACCCCCCCCCCBBA.
.ACCCCCCCCCBBBA.
.AAAAAAAAAAAAAA.
................
"""

SMALL_PERSON = """
...jjjj...
..jhhhhj..
..jh443j..
..134331..
..133321..
...1221...
.AA1111AA.
ADDA33ACBA
ADCCAACCBA
ACCCCCCCBA
ACCCCCCBBA
AAAAAAAAAA
"""


def _person_palette(shirt):
    return pal("skin", (shirt, "ABCDE"), j=tone("brown", 1), h=tone("brown", 2))


def person(shirt="blue"):
    return grid(PERSON, _person_palette(shirt))


def small_person(shirt="blue"):
    return grid(SMALL_PERSON, _person_palette(shirt))


def people(front="blue", back="green"):
    """Two people, one behind the other."""
    behind = icon((small_person(back), 6, 0))
    before = icon((small_person(front), 0, 4))
    return behind.cut(before.outline(rgb("#000000"))).on(before)


# Corner marks, 8x8.
PLUS = """
..1111..
..1441..
11144111
14444441
13333331
11133111
..1331..
..1111..
"""

MINUS = """
........
........
11111111
14444441
13333331
11111111
........
........
"""

CROSS = """
11....11
141..141
.141141.
..1441..
..1331..
.131131.
131..131
11....11
"""

CHECK = """
......11
.....141
11..1431
14114 31
1433431.
.14331..
..131...
...1....
"""

ARROW = """
....1...
....11..
11111 41
14444441
13333331
11111321
....131.
....1...
"""


def mark(shape, colour):
    return grid(shape.replace(" ", "3"), pal(colour))


def plus_mark():
    return mark(PLUS, "green")


def minus_mark():
    return mark(MINUS, "red")


def cross_mark():
    return mark(CROSS, "red")


def check_mark():
    return mark(CHECK, "green")


def arrow_mark():
    return mark(ARROW, "green")


# A sheet of paper with its corner folded over and lines of text.
SHEET = """
..111111111.....
..1555555511....
..15555555141...
..155555551441..
..155555551111..
..155555555551..
..152222222551..
..155555555551..
..152222255551..
..155555555551..
..152222222551..
..155555555551..
..152222555551..
..155555555541..
..144444444441..
..111111111111..
"""


def sheet(lines=True):
    s = grid(SHEET, pal("paper"))
    if not lines:
        s = s.recoloured({tone("paper", 2): tone("paper", 5)})
    return s


FOLDER = """
................
................
.11111..........
1333331111111...
13333333333331..
1111111111111111
1555555555555551
1444444444444431
1444444444444431
1444444444444431
1444444444444431
1444444444444331
1433333333332221
1111111111111111
................
................
"""

OPEN_FOLDER = """
................
................
.11111..........
1333331111111...
13333333333331..
1331111111111111
1331555555555551
131444444444441.
131444444444441.
11444444444441..
11444444444441..
1444444444441...
1433333333221...
1111111111111...
................
................
"""


def folder(opened=False):
    return grid(OPEN_FOLDER if opened else FOLDER, pal("amber"))


ENVELOPE = """
................
................
................
1111111111111111
1225555555555221
1552255555522551
1555522552255551
1555555225555551
1555555555555551
1555555555555551
1444444444444441
1444444444444441
1111111111111111
................
................
................
"""


def envelope():
    return grid(ENVELOPE, pal("paper", **{"2": tone("steel", 3)}))


# The eye of the privacy pictures: open, and shut.
EYE = """
................
................
................
.....111111.....
...115iiii511...
..155iiiiii551..
.1555iwiiii5551.
1555iiikkiii5551
.1555iikkii5551.
..155iiiiii551..
...115iiii511...
.....111111.....
................
................
................
................
"""

SHUT_EYE = """
................
................
................
................
................
................
................
1..............1
.1............1.
..11........11..
...k11111111k...
..k.k.k..k.k.k..
................
................
................
................
"""


SLASH = """
11..............
141.............
.141............
..141...........
...141..........
....141.........
.....141........
......141.......
.......141......
........141.....
.........141....
..........141...
...........141..
............141.
.............141
..............11
"""


def slashed(picture):
    """picture struck through from corner to corner in red."""
    line = grid(SLASH, pal("red"))
    return picture.cut(line.outline(rgb("#000000"))).on(line)


def eye(shut=False):
    if shut:
        return grid(SHUT_EYE, pal("paper", k=tone("navy", 2)))
    return grid(EYE, pal("paper", k=tone("navy", 1), i=tone("sky", 3)))


KEY = """
................
................
................
................
..1111..........
.134431.........
1341143111111111
141..13344444441
131..12233333331
1331122111131331
.132221...131331
..1111....111111
................
................
................
................
"""


def key():
    return grid(KEY, pal("amber"))


PADLOCK = """
................
.....111111.....
....11111111....
...111....111...
...11......11...
...11......11...
..111111111111..
..144444444441..
..143333333331..
..14333kk33331..
..14333kk33321..
..143333k33321..
..143333k33321..
..133333333221..
..111111111111..
................
"""


def padlock():
    return grid(PADLOCK, pal("amber", k=tone("brown", 1)))


REFRESH = """
................
.....111111.....
....1333333111..
...13311113311..
..1331....11331.
..131.....1331..
..11.....13331..
.........11111..
..11111.........
..13331.....11..
..1331.....131..
.13311....1331..
..1133111133 1..
...1113333331...
.....111111.....
................
"""


def refresh():
    return grid(REFRESH.replace(" ", "3"), pal("green"))


MAGNIFIER = """
................
....11111.......
...1555551......
..154455551.....
..1545555551....
..1455555551....
..1555555551....
..155555555 1...
...1555555 1....
....1111111 1...
.........11A1...
..........1AA1..
...........1AA1.
............1AA1
.............111
................
"""


def magnifier():
    palette = pal("sky", ("brown", "ABCDE"))
    palette.update({"1": tone("steel", 1), "A": tone("brown", 2)})
    return grid(MAGNIFIER.replace(" ", "1"), palette)


# A pencil lying from the top right (eraser) to the bottom left (point).
PENCIL = """
.......11.
......1PP1
.....1SPP1
....143S1.
...14331..
..14331...
.1WW31....
1kWW1.....
1kk1......
111.......
"""


def pencil_mark():
    return grid(PENCIL, pal("yellow", P=tone("pink", 3), S=tone("steel", 4), W=tone("skin", 4), k=tone("steel", 1),
                            **{"1": tone("navy", 1)}))


def info_mark():
    """A blue disc with a white i, 8x8."""
    return grid("""
..1111..
.133w31.
13333331
133ww331
133ww331
133ww321
.13ww21.
..1111..
""", pal("blue", w=tone("paper", 5)))


def orb_mark(colour):
    """The status orb, small: 8x8."""
    return grid("""
..1111..
.134431.
13455331
13443331
13333321
13333221
.132221.
..1111..
""", pal(colour))


# The smiley's head, 15x15, and its plain smile.
HEAD = """
.....11111.....
...114443311...
..14443333331..
.1443333333331.
.1433333333331.
143333333333331
143333333333331
133333333333331
133333333333321
133333333333321
.1333333333321.
.1333333333221.
..13333332221..
...112222211...
.....11111.....
"""

SMILE = """
...............
...............
...............
...............
....kk...kk....
....kk...kk....
....kk...kk....
...............
...............
...k.......k...
....k.....k....
.....kkkkk.....
...............
...............
...............
"""


def head():
    return grid(HEAD, pal("yellow"))


def face(features, **extra):
    """The head with features drawn over it ('k' ink, 'w' white, more by keyword)."""
    palette = {"k": tone("brown", 1), "w": tone("paper", 5)}
    palette.update(extra)
    return icon(head()).on(grid(features, palette))


def smiley_face():
    return face(SMILE)
