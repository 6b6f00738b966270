#!/usr/bin/env python3
"""Checks the sample skin, smilies, sounds and protocol pictures in the
runnable tree the way the program reads them, then draws their contact sheets.

Usage: check_samples.py <bin folder> <source folder> <screenshots folder>"""
import os
import re
import sys
import unittest
import wave

from readers import read_gif, read_png
import sheets

BIN = SOURCE = SHOTS = None

SKIN = "Skins/JOV PDA skin"
SMILIES = "Smilies/JOV PDA smilies"
SOUNDS = "Sounds/JOV PDA sounds"

# The skin's fixed pictures by id, as the skin manager looks them up.
SKIN_NAMES = """
status_at_home status_at_work status_away status_connecting status_depression status_dnd status_evil
status_freeforchat status_ifa status_invisible status_lunch status_na status_occupied status_offline
status_online cl_close_all_groups cl_create_new_group cl_delete_contact cl_delete_group cl_group_closed
cl_group_opened cl_move_to_group cl_msg_im cl_msg_im_out cl_msg_im_offline cl_msg_send cl_open_all_groups
cl_rename_contact cl_rename_group cl_root_closed cl_root_opened cl_user_dets cl_history cl_copy
mw_background mw_quote mw_cut mw_paste mw_smiles mw_clear mw_close_tab pref_contacts pref_events
pref_messaging pref_sounds pref_interface pref_accounts pref_connection misc_empty misc_info misc_update
misc_save_as misc_delete misc_warning mmenu_quit mmenu_about mmenu_prefs mmenu_details mmenu_find
""".split()
SKIN_FILES = ["jov_%s.png" % n for n in SKIN_NAMES]

JABBER_FILES = """
jbr_jabber.png jbr_status_offline.png jbr_status_connecting.png jbr_status_online.png
jbr_status_invisible.png jbr_status_free4chat.png jbr_status_angry.png jbr_status_depress.png
jbr_status_athome.png jbr_status_atwork.png jbr_status_eating.png jbr_status_away.png jbr_status_NA.png
jbr_status_occupied.png jbr_status_DND.png jbr_status_notinlist.png jbr_cl_need_auth.png jbr_request.png
jbr_grant.png jbr_auth_revoke.png
""".split()

# ICQ positions drawn over the online picture.
ICQ_OVERLAYS = [8] + list(range(10, 20))


def icq_files():
    """The names the plug-in registers, read from its own table."""
    with open(os.path.join(SOURCE, "plugins/icq/packets/ImageTable.cpp"), encoding="utf-8") as f:
        named = re.findall(r'L"(icq_[a-z0-9_]+\.png)"', f.read())
    return named + ["icq_X%02d.png" % n for n in range(36)]


def path(*parts):
    return os.path.join(BIN, *parts)


def read_colours(data):
    """The program's reading of "icolors.ini": the 16-byte header, then the
    six characters after each "=" as a hexadecimal COLORREF, 21 of them."""
    if data[:16] != b"[TarselColors]\r\n":
        return None
    values = []
    pos = 16
    while len(values) < 21:
        pos = data.find(b"=", pos)
        if pos < 0 or pos + 7 > len(data):
            return None
        values.append(int(data[pos + 1:pos + 7], 16))
        pos += 7
    return values


def read_define(data):
    """The program's parsing of "_define.ini": a list of code lists."""
    smilies = []
    codes = None
    code = ""
    for byte in data:
        if codes is None:
            codes = []
            smilies.append(codes)
        if byte == 13:
            continue
        if byte == 10:
            codes.append(code)
            code = ""
            codes = None
        elif byte == 44:
            codes.append(code)
            code = ""
        else:
            code += chr(byte)
    if codes is not None:
        if code or codes:
            codes.append(code)
        else:
            smilies.pop()
    return smilies


def read_scheme(data):
    """The program's reading of "_sounds.ini": the four values, or fewer
    when the file breaks off."""
    if data[:10] != b"[Sounds]\r\n":
        return []
    values = []
    pos = 10
    while len(values) < 4:
        pos = data.find(b"=", pos)
        if pos < 0 or pos + 1 >= len(data):
            break
        end = pos + 1
        while end < len(data) and data[end] not in (10, 13):
            end += 1
        if end >= len(data):
            break
        values.append(data[pos + 1:end].decode("latin-1"))
        pos = end
    return values


class SkinTest(unittest.TestCase):
    def test_every_fixed_picture_is_a_16_pixel_png(self):
        for name in SKIN_FILES:
            with self.subTest(name=name):
                width, height, rows = read_png(path(SKIN, name))
                if name == "jov_mw_background.png":
                    continue
                self.assertEqual((width, height), (16, 16))
                opaque = sum(1 for row in rows for p in row if p[3])
                if name == "jov_misc_empty.png":
                    self.assertEqual(opaque, 0)
                else:
                    self.assertGreater(opaque, 30, "a picture with next to nothing in it")

    def test_background_is_opaque_and_pale_enough_for_text(self):
        width, height, rows = read_png(path(SKIN, "jov_mw_background.png"))
        self.assertGreaterEqual(min(width, height), 8)
        for row in rows:
            for p in row:
                self.assertEqual(p[3], 255)
                self.assertGreater(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2], 200)

    def test_colour_file_gives_21_colours_text_reads_on_the_background(self):
        with open(path(SKIN, "icolors.ini"), "rb") as f:
            colours = read_colours(f.read())
        self.assertIsNotNone(colours)
        self.assertEqual(len(colours), 21)

        def luma(c):
            return 0.299 * (c & 0xFF) + 0.587 * (c >> 8 & 0xFF) + 0.114 * (c >> 16 & 0xFF)
        # Group, online, offline, message and link texts stand on the pale background.
        for index in (0, 4, 6, 7, 8, 14, 18, 20):
            self.assertLess(luma(colours[index]), 140, "colour %d too pale for text" % index)
        self.assertGreater(luma(colours[17]) - luma(colours[16]), 100, "highlight text on highlighting")


class SmiliesTest(unittest.TestCase):
    def test_define_file_pairs_each_line_with_a_gif_in_name_order(self):
        folder = path(SMILIES)
        with open(os.path.join(folder, "_define.ini"), "rb") as f:
            smilies = read_define(f.read())
        gifs = sorted(n for n in os.listdir(folder) if n.lower().endswith(".gif"))
        self.assertGreaterEqual(len(smilies), 15)
        self.assertEqual(len(smilies), len(gifs), "one GIF a line, no more")
        seen = set()
        for codes in smilies:
            self.assertTrue(codes)
            for code in codes:
                self.assertTrue(0 < len(code) <= 19, code)
                self.assertNotIn(code, seen, "a code that two smilies claim")
                seen.add(code)
        for code in (":-)", ";-)", ":-(", ":-D", ":-P", ":-O", "8-)", ":'("):
            self.assertIn(code, seen)

    def test_every_gif_decodes_with_clear_pixels_and_some_move(self):
        folder = path(SMILIES)
        animated = 0
        for name in sorted(n for n in os.listdir(folder) if n.endswith(".gif")):
            with self.subTest(name=name):
                gif = read_gif(os.path.join(folder, name))
                self.assertEqual((gif["width"], gif["height"]), (16, 16))
                for frame in gif["frames"]:
                    self.assertIsNotNone(frame["transparent"])
                    self.assertTrue(any(p[3] == 0 for row in frame["rows"] for p in row))
                if len(gif["frames"]) > 1:
                    animated += 1
                    self.assertTrue(all(f["delay"] >= 50 for f in gif["frames"]))
        self.assertGreaterEqual(animated, 8)


class SoundsTest(unittest.TestCase):
    def test_scheme_names_four_short_clean_wavs(self):
        with open(path(SOUNDS, "_sounds.ini"), "rb") as f:
            values = read_scheme(f.read())
        self.assertEqual(len(values), 4)
        self.assertEqual(len(set(values)), 4)
        for value in values:
            with self.subTest(file=value):
                with wave.open(path(SOUNDS, value), "rb") as w:
                    self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getcomptype()), (1, 2, "NONE"))
                    self.assertLess(w.getnframes() / w.getframerate(), 1.0)
                samples, _ = sheets.read_samples(path(SOUNDS, value))
                self.assertLess(max(abs(s) for s in samples), 0.95, "clipped")
                # Starts and stops at rest: no click at either end.
                self.assertLess(abs(samples[0]), 0.02)
                self.assertLess(max(abs(s) for s in samples[-20:]), 0.01)


class ProtocolPicturesTest(unittest.TestCase):
    def check_folder(self, folder, names):
        for name in names:
            with self.subTest(name=name):
                width, height, rows = read_png(path("Protos", folder, name))
                self.assertEqual((width, height), (16, 16))

    def test_icq_pictures(self):
        names = icq_files()
        self.assertEqual(len(names), 73)
        self.check_folder("Verdel", names)

    def test_icq_overlays_leave_the_online_picture_showing(self):
        names = icq_files()
        for position in ICQ_OVERLAYS:
            with self.subTest(name=names[position]):
                _, _, rows = read_png(path("Protos", "Verdel", names[position]))
                # The top left half stays clear: the picture underneath shows.
                self.assertTrue(all(rows[y][x][3] == 0 for y in range(7) for x in range(7)))

    def test_jabber_pictures(self):
        self.check_folder("Jabber", JABBER_FILES)


def contact_sheets():
    os.makedirs(SHOTS, exist_ok=True)
    _, _, tile = read_png(path(SKIN, "jov_mw_background.png"))
    skin = [n for n in SKIN_FILES if n != "jov_mw_background.png"]
    sheets.image_sheet(os.path.join(SHOTS, "art-skin.png"), "JOV PDA SKIN",
                       sheets.png_entries(path(SKIN), skin), background=tile)
    icq = icq_files()
    sheets.image_sheet(os.path.join(SHOTS, "art-icq.png"), "ICQ",
                       sheets.png_entries(path("Protos", "Verdel"), icq[:37]), background=tile, columns=7)
    sheets.image_sheet(os.path.join(SHOTS, "art-icq-xstatus.png"), "ICQ X-STATUS",
                       sheets.png_entries(path("Protos", "Verdel"), icq[37:]), background=tile, columns=7)
    # The statuses as the list stacks them: online flower, then the overlay.
    _, _, online = read_png(path("Protos", "Verdel", icq[5]))
    stacked = []
    for position in ICQ_OVERLAYS:
        _, _, top = read_png(path("Protos", "Verdel", icq[position]))
        rows = [[t if t[3] else o for o, t in zip(orow, trow)] for orow, trow in zip(online, top)]
        stacked.append((icq[position][4:-4], [rows]))
    sheets.image_sheet(os.path.join(SHOTS, "art-icq-stacked.png"), "ICQ STATUSES AS STACKED", stacked,
                       background=tile)
    sheets.image_sheet(os.path.join(SHOTS, "art-xmpp.png"), "XMPP",
                       sheets.png_entries(path("Protos", "Jabber"), JABBER_FILES), background=tile, columns=7)
    folder = path(SMILIES)
    gifs = sorted(n for n in os.listdir(folder) if n.endswith(".gif"))
    with open(os.path.join(folder, "_define.ini"), "rb") as f:
        labels = [",".join(codes) for codes in read_define(f.read())]
    sheets.image_sheet(os.path.join(SHOTS, "art-smilies.png"), "JOV PDA SMILIES",
                       sheets.gif_entries(folder, gifs, labels), background=tile, columns=3)
    with open(path(SOUNDS, "_sounds.ini"), "rb") as f:
        values = read_scheme(f.read())
    labels = ["STARTUP", "INCOMING MESSAGE", "MESSAGE SENT", "CONTACT ONLINE"]
    sheets.sound_sheet(os.path.join(SHOTS, "art-sounds.png"),
                       [(label, path(SOUNDS, value)) for label, value in zip(labels, values)])


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    BIN, SOURCE, SHOTS = sys.argv[1:4]
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=1).result
    if not result.wasSuccessful():
        sys.exit(1)
    contact_sheets()
