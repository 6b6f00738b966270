#!/usr/bin/env python3
"""Writes the default skin: the 59 fixed pictures and the colour file.

Usage: make_skin.py <skin folder>"""
import os
import sys

from pixmap import Pixmap, rgb
from palette import pal, tone
import shapes as S
from shapes import grid, icon, with_badge

# The colour file's 21 entries, in the order the program reads them, as RGB.
COLOURS = [
    ("Account name text", "#1f5c99"),
    ("Account button", "#ffffff"),
    ("Account button gradient", "#d3e0ee"),
    ("Divider", "#9aabbf"),
    ("Group name", "#23477a"),
    ("Online counter in group", "#3a7fc8"),
    ("Online", "#10284d"),
    ("Offline", "#6e7a88"),
    ("Not in list", "#9a5a1c"),
    ("Focus", "#cfe2f7"),
    ("Focus gradient", "#f5f9fe"),
    ("Focus frame", "#4a86c9"),
    ("Incoming events timestamp", "#b0332b"),
    ("Outgoing events timestamp", "#2a5fae"),
    ("Message text", "#1b1f24"),
    ("Custom status text", "#6a4c93"),
    ("Highlighting", "#2f6db5"),
    ("Highlight text", "#ffffff"),
    ("Link", "#1f5fbf"),
    ("History separator", "#8a9a4a"),
    ("Editing text", "#000000"),
]


def colour_file():
    """"[TarselColors]" then one "name=BBGGRR" line per colour: the program
    reads the six digits after each "=" as a COLORREF, red in the low byte."""
    lines = ["[TarselColors]"]
    for name, value in COLOURS:
        r, g, b, _ = rgb(value)
        lines.append("%s=%02X%02X%02X" % (name, b, g, r))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


# The background of the list and the chat: pale paper with a faint woven
# diamond, 32x32 so that it repeats without a seam.
BACKGROUND = """
aaaaaaaaaaaaaaabbaaaaaaaaaaaaaaa
aaaaaaaaaaaaaabaabaaaaaaaaaaaaaa
aaaaaaaaaaaaabaaaabaaaaaaaaaaaaa
aaaaaaaaaaaabaaaaaabaaaaaaaaaaaa
aaaaaaaaaaabaaaaaaaabaaaaaaaaaaa
aaaaaaaaaabaaaaaaaaaabaaaaaaaaaa
aaaaaaaaabaaaaaaaaaaaabaaaaaaaaa
aaaaaaaabaaaaaaaaaaaaaabaaaaaaaa
aaaaaaabaaaaaaaaaaaaaaaabaaaaaaa
aaaaaabaaaaaaaaaaaaaaaaaabaaaaaa
aaaaabaaaaaaaaaaaaaaaaaaaabaaaaa
aaaabaaaaaaaaaaaaaaaaaaaaaabaaaa
aaabaaaaaaaaaaaaaaaaaaaaaaaabaaa
aabaaaaaaaaaaaaaaaaaaaaaaaaaabaa
abaaaaaaaaaaaaaaaaaaaaaaaaaaaaba
baaaaaaaaaaaaaaaaaaaaaaaaaaaaaab
baaaaaaaaaaaaaaaaaaaaaaaaaaaaaab
abaaaaaaaaaaaaaaaaaaaaaaaaaaaaba
aabaaaaaaaaaaaaaaaaaaaaaaaaaabaa
aaabaaaaaaaaaaaaaaaaaaaaaaaabaaa
aaaabaaaaaaaaaaaaaaaaaaaaaabaaaa
aaaaabaaaaaaaaaaaaaaaaaaaabaaaaa
aaaaaabaaaaaaaaaaaaaaaaaabaaaaaa
aaaaaaabaaaaaaaaaaaaaaaabaaaaaaa
aaaaaaaabaaaaaaaaaaaaaabaaaaaaaa
aaaaaaaaabaaaaaaaaaaaabaaaaaaaaa
aaaaaaaaaabaaaaaaaaaabaaaaaaaaaa
aaaaaaaaaaabaaaaaaaabaaaaaaaaaaa
aaaaaaaaaaaabaaaaaabaaaaaaaaaaaa
aaaaaaaaaaaaabaaaabaaaaaaaaaaaaa
aaaaaaaaaaaaaabaabaaaaaaaaaaaaaa
aaaaaaaaaaaaaaabbaaaaaaaaaaaaaaa
"""


def background():
    return grid(BACKGROUND, {"a": rgb("#f3f6fa"), "b": rgb("#e8eef5")})


# --- Pictures of the skin alone ---------------------------------------------

BUBBLE = """
................
..111111111111..
.15555555555551.
1555555555555551
1555555555555551
155k55k55k555541
1555555555555541
1555555555555441
.14444444444441.
..1111441111111.
.....1441.......
.....141........
.....11.........
................
................
................
"""


SMALL_BUBBLE = """
.111111111.
15555555551
155k5k5k551
15555555441
.114411111.
...141.....
...11......
"""


def small_bubble(colour, outgoing=False):
    b = grid(SMALL_BUBBLE, pal(colour, k=tone(colour, 2), **{"5": tone("paper", 5), "4": tone(colour, 5)}))
    return b.mirrored() if outgoing else b


def two_bubbles():
    back = icon((small_bubble("sky"), 0, 1))
    front = icon((small_bubble("green", outgoing=True), 5, 7))
    return back.cut(front.outline(rgb("#000000"))).on(front)


def bubble(colour, outgoing=False):
    """A speech bubble with three dots; an outgoing one points the other way."""
    b = grid(BUBBLE, pal(colour, k=tone(colour, 2), **{"5": tone("paper", 5), "4": tone(colour, 5)}))
    b = icon((b, 0, 2))
    return b.mirrored() if outgoing else b


BOOK = """
................
...11111111111..
..1A4444444441..
..1A4333333331..
..1A4355555331..
..1A4351111531..
..1A4355555331..
..1A4333333331..
..1A4333333331..
..1A4333333321..
..1A4333333221..
..1A1111111111..
..1AW5555555W1..
..1AAAAAAAAAAA1.
...11111111111..
................
"""


def book():
    return grid(BOOK, pal("blue", A=tone("navy", 2), W=tone("paper", 3), **{"5": tone("paper", 5)}))


CLIPBOARD = """
......TTTT......
..AAAATSSTAAAA..
.ACCCTSSSSTCCBA.
.ACBTTTTTTTTBBA.
.ACBp555555pBBA.
.ACBp522225pBBA.
.ACBp555555pBBA.
.ACBp522255pBBA.
.ACBp555555pBBA.
.ACBp522225pBBA.
.ACBp555555pBBA.
.ACBpppppppppBA.
.ACBBBBBBBBBBBA.
.ABBBBBBBBBBBBA.
.AAAAAAAAAAAAAA.
................
"""


def clipboard():
    return grid(CLIPBOARD, pal("paper", ("brown", "ABCDE"), p=tone("paper", 1), S=tone("steel", 4), T=tone("steel", 1),
                               C=tone("brown", 4), B=tone("brown", 3)))


SCISSORS = """
.11..........11.
.141........141.
..141......141..
...141....141...
....141..141....
.....141141.....
......1441......
.......kk.......
......1441......
.....1r11r1.....
..1111r1.1r1111.
.1rrrr1...1rrrr1
1r1..r1...1r..r1
1r1..r1...1r..r1
.1rrr1.....1rrr1
..111.......111.
"""


def scissors():
    return grid(SCISSORS, pal("steel", r=tone("red", 3), k=tone("steel", 1), **{"1": tone("steel", 1), "4": tone("steel", 5)}))


FLOPPY = """
................
.1111111111111..
.133SSSSSSS3331.
.133SSTTSSS3331.
.133SSTTSSS3331.
.133SSSSSSS3331.
.13333333333331.
.13355555555331.
.13352222225331.
.13355555555331.
.13352222225331.
.13355555555331.
.13355555555331.
.12222222222221.
.11111111111111.
................
"""


def floppy():
    return grid(FLOPPY, pal("blue", S=tone("steel", 4), T=tone("steel", 1),
                            **{"5": tone("paper", 5), "2": tone("paper", 2)}))


TRASH = """
......1111......
......1..1......
.11111111111111.
.15555555555551.
.14444444444441.
.11111111111111.
..143434343431..
..143434343431..
..143434343431..
..143434343431..
..143434343431..
..143434343431..
..132323232321..
..132323232321..
..111111111111..
................
"""


def trash():
    return grid(TRASH, pal("steel"))


WARNING = """
................
.......11.......
......1441......
......1441......
.....144441.....
.....14kk41.....
....144kk441....
....144kk441....
...1444kk4441...
...1444kk4441...
..144444444441..
..14444kk44441..
.14444444444441.
.13333333333331.
1111111111111111
................
"""


def warning():
    return grid(WARNING, pal("amber", k=tone("brown", 1)))


INFO_GLYPH = """
.......ww.......
.......ww.......
................
......www.......
.......ww.......
.......ww.......
.......ww.......
.......ww.......
......wwww......
"""

POWER_GLYPH = """
.......ww.......
.....w.ww.w.....
....w..ww..w....
....w..ww..w....
....w......w....
....w......w....
.....w....w.....
......wwww......
"""

CROSS_GLYPH = """
.....w....w.....
.....ww..ww.....
......wwww......
.......ww.......
......wwww......
.....ww..ww.....
.....w....w.....
"""

BUBBLE_GLYPH = """
.....wwwwww.....
....wwwwwwww....
....wwwwwwww....
....wwwwwwww....
.....wwwwww.....
.....ww.........
.....w..........
"""

# A flat disc for the signs (no gloss, so the sign reads).
DISC = """
.....1111.....
...11333311...
..1344333331..
.134333333331.
.133333333331.
13333333333321
13333333333321
13333333333321
13333333333221
.133333333221.
.123333332221.
..1223322221..
...11222211...
.....1111.....
"""


def sign(colour, glyph, top):
    d = icon((grid(DISC, pal(colour)), 1, 1))
    return d.on((grid(glyph, {"w": tone("paper", 5)}), 0, top))


GLOBE_LINES = """
..............
.....m..m.....
.....m..m.....
..mmmmmmmmmm..
....m....m....
....m....m....
.mmmmmmmmmmmm.
....m....m....
....m....m....
....m....m....
..mmmmmmmmmm..
.....m..m.....
.....m..m.....
..............
"""


def globe():
    ball = S.orb("sky")
    return ball.on((grid(GLOBE_LINES, {"m": tone("blue", 2)}), 1, 1))


ART_PALETTE = """
................
................
....11111111....
..114444444411..
.14rr44gg4444441
.14rr44gg4444441
1444444444114441
14bb444441..1441
14bb444441..1431
1444444444114331
14yy444444443331
.1yy44444443331.
..113333333311..
....11111111....
................
................
"""


def art_palette():
    p = pal("brown", r=tone("red", 3), g=tone("green", 3), b=tone("blue", 3), y=tone("yellow", 3),
            **{"4": tone("brown", 5), "3": tone("brown", 4), "1": tone("brown", 2)})
    return grid(ART_PALETTE, p)


ID_CARD = """
................
................
.11111111111111.
1BBBBBBBBBBBBBB1
1BBBBBBBBBBBBBB1
1555555555555551
15jjjj5555555551
15jhhj5222222551
15j44j5555555551
1513315222225551
15ACCA5555555551
15ACCA5222222551
1444444444444441
.11111111111111.
................
................
"""


def id_card():
    return grid(ID_CARD, pal("paper", ("blue", "ABCDE"), B=tone("sky", 3), j=tone("brown", 1), h=tone("brown", 2),
                            **{"4": tone("paper", 3), "3": tone("skin", 3), "2": tone("paper", 2)}))


QUOTE = """
................
................
................
................
................
..1111...1111...
.133331.133331..
.134431.134431..
.133331.133331..
..11131..11131..
....131....131..
...131....131...
..111....111....
................
................
................
"""


def quote():
    return grid(QUOTE, pal("blue"))


ERASER = """
................
..........11....
.........1BB1...
........1BBBC1..
.......1BBBCC1..
......1BBBCC1...
.....1BBBCC1....
....1PPCCC1.....
...1PPQQC1......
..1PPQQQ1.......
.1PPQQQ1........
..1QQQ1.........
...1Q1..........
....1...........
................
................
"""


def eraser():
    return grid(ERASER, pal("steel", P=tone("pink", 4), Q=tone("pink", 3), B=tone("sky", 4), C=tone("sky", 3),
                            **{"1": tone("navy", 2)}))


RIGHT_TRIANGLE = """
................
................
....11..........
....1411........
....144411......
....14444411....
....1444444411..
....14433333331.
....13333333221.
....1333332211..
....13332211....
....132211......
....1211........
....11..........
................
................
"""


DOWN_TRIANGLE = """
................
................
..111111111111..
..144444444431..
...1444443321...
...1443333221...
....14333221....
....13332221....
.....133221.....
.....132211.....
......1221......
......1211......
.......11.......
.......11.......
................
................
"""


def expander(opened):
    return grid(DOWN_TRIANGLE if opened else RIGHT_TRIANGLE, pal("blue"))


GEAR = """
................
.......11.......
...1..1441..1...
..14111441114 1.
...1444444441...
...1441111341...
...141....131...
.11441....13311.
.14431....13321.
...131....121...
...1331111221...
...1333332221...
..131112211121..
...1..1221..1...
.......11.......
................
"""


def gear():
    return grid(GEAR.replace(" ", "1"), pal("steel"))


SPEAKER = """
................
................
......11........
.....141...1....
....1441....1...
11111441.1...1..
14444441..1..1..
14444441..1..1..
13333331..1..1..
11111331.1...1..
....1331....1...
.....121...1....
......11........
................
................
................
"""


def speaker():
    return grid(SPEAKER, pal("steel"))


BELL = """
.......11.......
......1441......
.....144441.....
....14444331....
....14443331....
....14433331....
...1444333331...
...1443333321...
..144333333221..
.14433333332221.
.11111111111111.
.......1331.....
........11......
................
................
................
"""


def bell():
    return icon((grid(BELL, pal("amber")), 0, 1))


def down_arrow():
    arrow = S.arrow_mark()
    turned = Pixmap(8, 8)
    for y in range(8):
        for x in range(8):
            turned.put(7 - y, x, arrow.get(x, y))
    return turned


def two_sheets():
    front = S.sheet()
    back = S.sheet(lines=False)
    return icon((back, -2, -1)).cut(icon((front.outline(rgb("#000000")), 2, 1))).on((front, 2, 1))


def stacked_folders(opened):
    f = S.folder(opened)
    back = icon((f, 0, -3))
    front = icon((f, 0, 2))
    return back.cut(front.outline(rgb("#000000"))).on(front)


def clock_mark():
    return S.badge(S.CLOCK, "paper")


# The fixed pictures, in the order of their ids.
PICTURES = [
    ("jov_status_at_home.png", lambda: S.status_picture("at_home")),
    ("jov_status_at_work.png", lambda: S.status_picture("at_work")),
    ("jov_status_away.png", lambda: S.status_picture("away")),
    ("jov_status_connecting.png", lambda: S.status_picture("connecting")),
    ("jov_status_depression.png", lambda: S.status_picture("depression")),
    ("jov_status_dnd.png", lambda: S.status_picture("dnd")),
    ("jov_status_evil.png", lambda: S.status_picture("evil")),
    ("jov_status_freeforchat.png", lambda: S.status_picture("ffc")),
    ("jov_status_ifa.png", lambda: S.status_picture("ifa")),
    ("jov_status_invisible.png", lambda: S.status_picture("invisible")),
    ("jov_status_lunch.png", lambda: S.status_picture("lunch")),
    ("jov_status_na.png", lambda: S.status_picture("na")),
    ("jov_status_occupied.png", lambda: S.status_picture("occupied")),
    ("jov_status_offline.png", lambda: S.status_picture("offline")),
    ("jov_status_online.png", lambda: S.status_picture("online")),
    ("jov_cl_close_all_groups.png", lambda: with_badge(stacked_folders(False), S.minus_mark())),
    ("jov_cl_create_new_group.png", lambda: with_badge(S.folder(), S.plus_mark())),
    ("jov_cl_delete_contact.png", lambda: with_badge(S.person(), S.cross_mark())),
    ("jov_cl_delete_group.png", lambda: with_badge(S.folder(), S.cross_mark())),
    ("jov_cl_group_closed.png", lambda: S.folder()),
    ("jov_cl_group_opened.png", lambda: S.folder(True)),
    ("jov_cl_move_to_group.png", lambda: with_badge(S.folder(), S.arrow_mark())),
    ("jov_cl_msg_im.png", lambda: bubble("sky")),
    ("jov_cl_msg_im_out.png", lambda: bubble("green", outgoing=True)),
    ("jov_cl_msg_im_offline.png", lambda: S.envelope()),
    ("jov_cl_msg_send.png", lambda: with_badge(S.envelope(), S.arrow_mark())),
    ("jov_cl_open_all_groups.png", lambda: with_badge(stacked_folders(True), S.plus_mark())),
    ("jov_cl_rename_contact.png", lambda: with_badge(S.person(), S.pencil_mark())),
    ("jov_cl_rename_group.png", lambda: with_badge(S.folder(), S.pencil_mark())),
    ("jov_cl_root_closed.png", lambda: expander(False)),
    ("jov_cl_root_opened.png", lambda: expander(True)),
    ("jov_cl_user_dets.png", lambda: with_badge(S.person(), S.info_mark())),
    ("jov_cl_history.png", lambda: with_badge(book(), clock_mark())),
    ("jov_cl_copy.png", two_sheets),
    ("jov_mw_background.png", background),
    ("jov_mw_quote.png", quote),
    ("jov_mw_cut.png", scissors),
    ("jov_mw_paste.png", clipboard),
    ("jov_mw_smiles.png", S.smiley_face),
    ("jov_mw_clear.png", eraser),
    ("jov_mw_close_tab.png", lambda: sign("red", CROSS_GLYPH, 5)),
    ("jov_pref_contacts.png", lambda: S.people()),
    ("jov_pref_events.png", bell),
    ("jov_pref_messaging.png", two_bubbles),
    ("jov_pref_sounds.png", speaker),
    ("jov_pref_interface.png", art_palette),
    ("jov_pref_accounts.png", lambda: with_badge(S.person("teal"), S.orb_mark("green"))),
    ("jov_pref_connection.png", globe),
    ("jov_misc_empty.png", lambda: Pixmap(16, 16)),
    ("jov_misc_info.png", lambda: sign("blue", INFO_GLYPH, 3)),
    ("jov_misc_update.png", lambda: with_badge(globe(), down_arrow())),
    ("jov_misc_save_as.png", lambda: with_badge(floppy(), S.pencil_mark())),
    ("jov_misc_delete.png", trash),
    ("jov_misc_warning.png", warning),
    ("jov_mmenu_quit.png", lambda: sign("red", POWER_GLYPH, 4)),
    ("jov_mmenu_about.png", lambda: sign("sky", BUBBLE_GLYPH, 5)),
    ("jov_mmenu_prefs.png", gear),
    ("jov_mmenu_details.png", id_card),
    ("jov_mmenu_find.png", S.magnifier),
]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, draw in PICTURES:
        draw().write_png(os.path.join(folder, name))
    with open(os.path.join(folder, "icolors.ini"), "wb") as f:
        f.write(colour_file())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
