#!/usr/bin/env python3
"""Writes the XMPP plug-in's 21 pictures: its statuses drawn as the default
skin draws them, the network's own sign, and the subscription marks.

Usage: make_images.py <folder>"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "app", "core", "skins", "samples"))

from pixmap import rgb  # noqa: E402
import shapes as S  # noqa: E402
from shapes import icon, with_badge  # noqa: E402

# Three servers side by side: the network has no centre.
def network_sign():
    sign = icon()
    for colour, x, y in (("green", 4, 0), ("sky", 0, 8), ("amber", 8, 8)):
        placed = icon((S.orb_mark(colour), x, y))
        sign = sign.cut(placed.outline(rgb("#000000"))).on(placed)
    return sign


def pictures():
    sign = network_sign()
    status = S.status_picture
    question = S.STATUS_BADGES["question"]
    return [
        ("jbr_jabber.png", sign),
        ("jbr_status_offline.png", status("offline")),
        ("jbr_status_connecting.png", status("connecting")),
        ("jbr_status_online.png", status("online")),
        ("jbr_status_invisible.png", status("invisible")),
        ("jbr_status_free4chat.png", status("ffc")),
        ("jbr_status_angry.png", status("evil")),
        ("jbr_status_depress.png", status("depression")),
        ("jbr_status_athome.png", status("at_home")),
        ("jbr_status_atwork.png", status("at_work")),
        ("jbr_status_eating.png", status("lunch")),
        ("jbr_status_away.png", status("away")),
        ("jbr_status_NA.png", status("na")),
        ("jbr_status_occupied.png", status("occupied")),
        ("jbr_status_DND.png", status("dnd")),
        ("jbr_status_notinlist.png", with_badge(status("offline"), question())),
        ("jbr_cl_need_auth.png", S.padlock()),
        ("jbr_request.png", with_badge(S.person(), question())),
        ("jbr_grant.png", with_badge(S.person(), S.check_mark())),
        ("jbr_auth_revoke.png", with_badge(S.person(), S.cross_mark())),
    ]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, picture in pictures():
        picture.write_png(os.path.join(folder, name))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
