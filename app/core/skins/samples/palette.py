"""The colours every sample picture is drawn with: ramps of five tones, 1 the
outline and 5 the highlight, lit from the top left; a grid names a ramp's
tones by digits (or by a letter range) through ramp()."""
from pixmap import rgb

RAMPS = {
    "green":  ["#1c6428", "#2f8f3c", "#45b44f", "#7fd472", "#cdf2bf"],
    "lime":   ["#356412", "#5a9a1a", "#86c52a", "#b6e35a", "#e8f8b8"],
    "grey":   ["#4a525c", "#747e8a", "#9aa3ad", "#c2c9d1", "#eef1f4"],
    "red":    ["#7e1a16", "#b82e27", "#dd4a3d", "#f08a7e", "#fcd6cf"],
    "amber":  ["#82530a", "#c98a12", "#f0b428", "#f9d66c", "#fff4c8"],
    "orange": ["#823a0e", "#c75c18", "#ec7e2c", "#f7ae70", "#fee0c6"],
    "blue":   ["#1a3c76", "#2960ae", "#3e83d4", "#82b3ea", "#d4e7fb"],
    "sky":    ["#1e5a88", "#2f86c2", "#4fb0e6", "#98d4f4", "#e0f3fd"],
    "teal":   ["#0d565a", "#168589", "#22aaad", "#6fd3d0", "#c9f2ee"],
    "purple": ["#482a74", "#6a44a4", "#8d66c8", "#b99de4", "#e9def8"],
    "navy":   ["#141d38", "#23335c", "#34497c", "#5d74a6", "#aab8da"],
    "brown":  ["#4c2d14", "#774822", "#9e6937", "#c89a66", "#eed6b4"],
    "yellow": ["#6e4a00", "#d49400", "#ffc61e", "#ffe16a", "#fff7cc"],
    "pink":   ["#842644", "#c4426c", "#ea6f96", "#f6a9c2", "#fde2eb"],
    "paper":  ["#5b6674", "#a7b2be", "#d9e0e8", "#f1f4f7", "#ffffff"],
    "steel":  ["#333a44", "#566170", "#7d8898", "#aab3c0", "#dde2e8"],
    "skin":   ["#7a4626", "#c47f52", "#eeb287", "#f8d3b4", "#fff0e2"],
}

# Single colours shared by many pictures.
FIXED = {
    "k": rgb("#23272e"),   # ink: glyph strokes, hands, eyes
    "w": rgb("#ffffff"),
    "x": rgb("#ffffff", 0),
    "s": rgb("#000000", 56),   # soft shadow under a shape
}


def ramp(name, chars="12345"):
    """The named ramp's five tones under the given five characters."""
    tones = RAMPS[name]
    return {ch: rgb(tone) for ch, tone in zip(chars, tones)}


def tone(name, n):
    """Tone n (1-5) of a ramp as RGBA."""
    return rgb(RAMPS[name][n - 1])


def pal(main=None, *others, **extra):
    """A grid palette: FIXED, then the main ramp under 1-5 and each further
    (ramp, characters) pair, then single colours given by keyword."""
    palette = dict(FIXED)
    if main:
        palette.update(ramp(main))
    for name, chars in others:
        palette.update(ramp(name, chars))
    palette.update(extra)
    return palette
