// The fixed blocks of the "Script Plug-in" message form that carries
// x-status requests and answers inside channel-2 messages.
#pragma once

namespace XtrazPlugin {

const int kHeaderSize = 24;
const int kNameSize = 42;
const int kTailSize = 15;

// LE16 0x004F, the plug-in's 16 identifier bytes, LE16 function 8, LE32 name length 42.
extern const unsigned char kHeader[kHeaderSize];
extern const char kName[kNameSize + 1];
extern const unsigned char kTail[kTailSize];

} // namespace XtrazPlugin
