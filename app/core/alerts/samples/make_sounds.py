#!/usr/bin/env python3
"""Writes the default sound scheme: four short chimes as 16-bit mono PCM and
"_sounds.ini" naming them, one line an alert, in the order the program reads
them (start-up, incoming message, message sent, contact online).

Usage: make_sounds.py <scheme folder>"""
import math
import os
import struct
import sys
import wave

RATE = 22050


def note(name):
    """'A5' and the like as a frequency (A4 = 440 Hz)."""
    steps = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semitone = steps[name[0]] + (1 if "#" in name else 0) + 12 * (int(name[-1]) - 4)
    return 440.0 * 2 ** (semitone / 12)


def strike(out, start, freq, length, partials, level, attack=0.004):
    """Adds one struck note: partials are (frequency ratio, amplitude, decay
    time in seconds); a short rise keeps the onset free of clicks."""
    first = int(start * RATE)
    for i in range(int(length * RATE)):
        t = i / RATE
        if first + i >= len(out):
            break
        rise = min(1.0, t / attack)
        v = 0.0
        for ratio, amp, decay in partials:
            f = freq * ratio
            if f < RATE / 2 * 0.9:
                v += amp * math.exp(-t / decay) * math.sin(2 * math.pi * f * t)
        out[first + i] += level * rise * v


# Timbres: a small bell (slightly stretched partials), a glassy chime and a
# soft wooden bar.
BELL = [(1.0, 1.0, 0.24), (2.01, 0.45, 0.14), (2.76, 0.25, 0.09), (5.40, 0.10, 0.04)]
CHIME = [(1.0, 1.0, 0.17), (3.0, 0.22, 0.07), (4.2, 0.12, 0.04)]
WOOD = [(1.0, 1.0, 0.13), (3.9, 0.30, 0.03), (9.9, 0.06, 0.012)]


def finish(samples, peak=0.7):
    """Scales to the peak and lets the last 60 ms die away to silence."""
    top = max(abs(s) for s in samples) or 1.0
    out = [s * peak / top for s in samples]
    fade = int(0.06 * RATE)
    for i in range(fade):
        out[-1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade)
    return out


def startup():
    """A rising arpeggio: the program is ready."""
    out = [0.0] * int(0.95 * RATE)
    for k, name in enumerate(("C5", "E5", "G5", "C6")):
        strike(out, 0.09 * k, note(name), 0.95 - 0.09 * k, BELL, 1.0 - 0.12 * k)
    return finish(out)


def incoming():
    """Two bright chimes, the second a fifth higher: look, a message."""
    out = [0.0] * int(0.7 * RATE)
    strike(out, 0.0, note("A5"), 0.7, CHIME, 0.9)
    strike(out, 0.12, note("E6"), 0.58, CHIME, 1.0)
    return finish(out)


def sent():
    """A soft rising blip: gone."""
    out = [0.0] * int(0.16 * RATE)
    phase = 0.0
    for i in range(len(out)):
        t = i / RATE
        f = 700 + 900 * min(1.0, t / 0.05)
        phase += 2 * math.pi * f / RATE
        rise = min(1.0, t / 0.003)
        out[i] = rise * math.exp(-t / 0.035) * (math.sin(phase) + 0.15 * math.sin(2 * phase))
    return finish(out, peak=0.55)


def contact_online():
    """Two mellow wooden notes going up: someone came in."""
    out = [0.0] * int(0.6 * RATE)
    strike(out, 0.0, note("G5"), 0.6, WOOD, 0.8, attack=0.002)
    strike(out, 0.10, note("D6"), 0.5, WOOD, 1.0, attack=0.002)
    return finish(out, peak=0.6)


# The alerts in the order of the scheme file, with their file names.
SOUNDS = [
    ("JOV startup", "startup.wav", startup),
    ("Incoming message", "message_in.wav", incoming),
    ("Message sent", "message_out.wav", sent),
    ("Contact online alert", "contact_online.wav", contact_online),
]


def write_wav(path, samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767)))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


def scheme_file():
    """"[Sounds]" CR LF, then "key=file" CR LF for each alert: the program
    takes whatever follows each "=" up to the line end."""
    lines = ["[Sounds]"] + ["%s=%s" % (key, file) for key, file, _ in SOUNDS]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for _, file, make in SOUNDS:
        write_wav(os.path.join(folder, file), make())
    with open(os.path.join(folder, "_sounds.ini"), "wb") as f:
        f.write(scheme_file())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
