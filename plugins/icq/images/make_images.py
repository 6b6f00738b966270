#!/usr/bin/env python3
"""Writes the ICQ plug-in's 73 pictures, in the look of the default skin.

A status the plug-in draws as two pictures (the online flower, then the
status's own picture over it) gets an overlay here: clear but for a badge in
the bottom right corner, so that it also sits well on an AIM contact.

Usage: make_images.py <folder>"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "app", "core", "skins", "samples"))
sys.path.insert(0, HERE)

from palette import pal, tone  # noqa: E402
import shapes as S  # noqa: E402
from shapes import grid, icon, corner, with_badge  # noqa: E402
import xstatus  # noqa: E402

# The network's flower: five petals round a golden heart.
FLOWER = """
......1111......
.....144431.....
.....144331.....
..111143321111..
.14431332214431.
1443311oo1143331
143332oyyo433321
13332oyyYYo33221
.1322oyYYYo3221.
..1111oYYo1111..
..14433oo44331..
..143331143321..
..133321133221..
..113221132211..
...1111..1111...
................
"""

SMALL_FLOWER = """
................
................
................
......1111......
.....114311.....
...1114332111...
..114113211411..
..1433oooo4331..
..1332oyYo3321..
..1121oYYo1211..
....14oooo31....
...1433213331...
...1332113321...
....11111111....
................
................
"""


def flower(colour="green", small=False):
    palette = pal(colour, o=tone("brown", 2), y=tone("yellow", 4), Y=tone("yellow", 3))
    return grid(SMALL_FLOWER if small else FLOWER, palette)


def ghost_flower():
    f = flower("grey")
    rim = tone("grey", 1)
    return f.mapped(lambda p: p if p == rim else (p[0], p[1], p[2], 90))


# An AIM buddy: a plain figure, head and shoulders.
BUDDY = """
................
......1111......
.....144431.....
....14443331....
....14433331....
....13333321....
....13333221....
.....132221.....
...1111221111...
..144443333331..
.14444333333331.
.14433333333321.
.13333333333221.
.13333333332221.
.11111111111111.
................
"""


def buddy(colour):
    return grid(BUDDY, pal(colour))


EYE = """
..11111..
.15iii51.
15iikii51
.15iii51.
..11111..
"""

LIST = """
1111111
1555551
1522251
1555551
1522251
1555551
1522251
1555551
1111111
"""


def ghost_mark():
    return S.STATUS_BADGES["invisible"]()


def eye_mark():
    return grid(EYE, pal("paper", i=tone("sky", 3), k=tone("navy", 1)))


def list_mark():
    return grid(LIST, pal("paper"))


def overlay(badge):
    """A clear picture with a badge in its corner, to be drawn over another."""
    return icon(corner(badge))


def named_pictures():
    """(file name, picture) for positions 0 to 36."""
    badges = S.STATUS_BADGES
    b = lambda name: badges[name]()  # noqa: E731
    return [
        ("icq_proto.png", flower()),
        ("icq_proto_small.png", flower(small=True)),
        ("icq_status_offline.png", flower("grey")),
        ("icq_status_aim_offline.png", buddy("grey")),
        ("icq_status_connecting.png", S.spinner()),
        ("icq_status_online.png", flower()),
        ("icq_status_jov.png", flower("blue")),
        ("icq_status_aim_online.png", buddy("amber")),
        ("icq_status_invisible.png", overlay(ghost_mark())),
        ("icq_status_ifa.png", S.slashed(ghost_flower())),
        ("icq_status_ffc.png", overlay(b("ffc"))),
        ("icq_status_evil.png", overlay(b("evil"))),
        ("icq_status_depres.png", overlay(b("depression"))),
        ("icq_status_at_home.png", overlay(b("at_home"))),
        ("icq_status_at_work.png", overlay(b("at_work"))),
        ("icq_status_lunch.png", overlay(b("lunch"))),
        ("icq_status_away.png", overlay(b("away"))),
        ("icq_status_na.png", overlay(b("na"))),
        ("icq_status_occupied.png", overlay(b("occupied"))),
        ("icq_status_dnd.png", overlay(b("dnd"))),
        ("icq_status_notinlist.png", with_badge(flower("grey"), b("question"))),
        ("icq_status_aim_notinlist.png", with_badge(buddy("grey"), b("question"))),
        ("icq_status_vis4all.png", S.eye()),
        ("icq_status_vis4vis.png", with_badge(S.eye(), S.check_mark())),
        ("icq_status_vis4all_except_invis.png", with_badge(S.eye(), S.minus_mark())),
        ("icq_status_vis4cl.png", with_badge(S.eye(), list_mark())),
        ("icq_status_invis4all.png", S.slashed(S.eye())),
        ("icq_privacy_vislist.png", with_badge(S.sheet(), eye_mark())),
        ("icq_privacy_invislist.png", with_badge(S.sheet(), ghost_mark())),
        ("icq_privacy_ignlist.png", with_badge(S.sheet(), b("dnd"))),
        ("icq_privacy_add_to_vis.png", with_badge(S.person(), eye_mark())),
        ("icq_privacy_add_to_invis.png", with_badge(S.person(), ghost_mark())),
        ("icq_privacy_add_to_ignore.png", with_badge(S.person(), b("dnd"))),
        ("icq_auth.png", S.key()),
        ("icq_cl_need_auth.png", S.padlock()),
        ("icq_update_cl.png", S.refresh()),
        ("icq_add_contact.png", with_badge(S.person(), S.plus_mark())),
    ]


def all_pictures():
    pictures = named_pictures()
    for n, picture in enumerate(xstatus.pictures()):
        pictures.append(("icq_X%02d.png" % n, picture))
    return pictures


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, picture in all_pictures():
        picture.write_png(os.path.join(folder, name))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
