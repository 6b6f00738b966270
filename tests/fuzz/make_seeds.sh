#!/bin/bash
# The seed corpus of every target, under <fuzz tree>/seeds/<target>: the
# tests' recorded XMPP sessions, the sample skin, smilies set and sound
# scheme, the images of the image tests, and what bin/fuzz_seeds writes
# (frames, challenges, files as the program writes them, chat texts). The
# regression inputs of mended findings stay in tests/fuzz/corpus/<target>,
# or, when too large to keep, are written under <fuzz tree>/regressions/<target>.
# usage: make_seeds.sh <fuzz tree>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=${1:?fuzz tree}
seeds=$tree/seeds
samples=$tree/samples
rm -rf "$seeds" "$samples" "$tree/regressions"
mkdir -p "$seeds" "$samples"

"$tree/bin/fuzz_seeds" "$seeds"

# A first byte of 0: the stream in one read; then the same cut into three.
mkdir -p "$seeds/xml"
for session in "$root"/tests/xmpp/data/*-session.xml; do
  name=$(basename "$session" .xml)
  { printf '\0'; cat "$session"; } >"$seeds/xml/$name"
  { printf '\x03\x07\x00\x40\x00\x00\x01'; cat "$session"; } >"$seeds/xml/$name-cut"
done

# At the low limits (bit 4 of the first byte), tags and a CDATA section past
# the byte limit, read in parts, whole and cut into reads (7, 300 and 1 bytes).
python3 -B - "$seeds/xml" <<'PY'
import sys
head = b"<?xml version='1.0'?><stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>"
streams = {
    "tag-past-limit": b"<message from='a@x' id='m1' type='chat'><x a='" + b"&quot;" * 150 + b"'/><body>hi</body></message>"
                      b"<iq type='get' id='q1' a=\"" + b"&apos;" * 120 + b"\"from='b@x/r'><query/></iq\n" + b" " * 700 + b">"
                      b"<presence id='" + b"p" * 700 + b"' a='1'/><presence/>",
    "cdata": b"<![CDATA[x]]><message><body>a<![CDATA[<b>&amp;</b>]]]]>b</body></message>"
             b"<message id='c'><body><![CDATA[" + b"x]" * 400 + b"]]></body></message><presence/>",
}
for name, body in streams.items():
    open(sys.argv[1] + "/low-" + name, "wb").write(b"\x10" + head + body)
    open(sys.argv[1] + "/low-" + name + "-cut", "wb").write(b"\x13\x07\x00\x2c\x01\x01\x00" + head + body)
PY

# Mended findings too large to keep in the tree, run whole before each
# target's fuzzing rather than mutated: a text cut by 120,000 comments, once
# gathered in quadratic time.
mkdir -p "$tree/regressions/xml"
python3 -B - "$tree/regressions/xml/comments-split-text" <<'PY'
import sys
head = b"<?xml version='1.0'?><stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>"
open(sys.argv[1], "wb").write(b"\0" + head + b"<message><body>" + b"a<!---->" * 120000 + b"</body></message>")
PY

python3 -B "$root/app/core/skins/samples/make_skin.py" "$samples/skin" >/dev/null
python3 -B "$root/app/core/skins/samples/make_smilies.py" "$samples/smilies" >/dev/null
python3 -B "$root/app/core/alerts/samples/make_sounds.py" "$samples/sounds" >/dev/null
# Images of another encoder (ImageMagick), as the image tests use them.
if command -v convert >/dev/null; then
  "$root/tests/skins/make-testdata.sh" "$samples/images" >/dev/null 2>&1 || true
fi

copy() {  # copy <target> <files...>
  local target=$1; shift
  mkdir -p "$seeds/$target"
  for file in "$@"; do
    [ -f "$file" ] && cp "$file" "$seeds/$target/"
  done
  return 0
}
shopt -s nullglob
copy png "$samples"/skin/*.png "$samples"/images/*.png "$root/tests/build/data/tiny.png"
copy gif "$samples"/smilies/*.gif "$samples"/images/*.gif
copy colors "$samples/skin/icolors.ini"
copy smilies "$samples/smilies/_define.ini"
copy sounds "$samples/sounds/_sounds.ini"
echo "seeds: $(find "$seeds" -type f | wc -l) files in $seeds"
