// The 21 colours of a skin, by index: the order in a skin record, in
// "icolors.ini", in the stored "SP" value and in the colours dialog.
#pragma once

#include <windows.h>

#include "JOVString.h"

namespace Skins {

enum SkinColour {
    kColourAccountName = 0,
    kColourAccountButton,
    kColourAccountButtonGradient,
    kColourDivider,
    kColourGroupName,
    kColourOnlineCounter,
    kColourOnline,
    kColourOffline,
    kColourNotInList,
    kColourFocus,
    kColourFocusGradient,
    kColourFocusFrame,
    kColourIncomingTimestamp,
    kColourOutgoingTimestamp,
    kColourMessageText,
    kColourCustomStatusText,
    kColourHighlighting,
    kColourHighlightText,
    kColourLink,
    kColourHistorySeparator,
    kColourEditingText,
    kColourCount
};

// The colours used when no skin file can be read.
extern const COLORREF kDefaultColours[kColourCount];
// The colour's name: text id kColourNameTextBase + index, else the English name.
const int kColourNameTextBase = 133;
const wchar_t* GetColourEnglishName(int index);

// Reads an "icolors.ini": the 16 bytes "[TarselColors]\r\n", then the first 21
// values, each the six hexadecimal digits after an "=" (blue highest, so
// 0000FF is red); anything between values is skipped. FALSE for a wrong
// header, a failed read or fewer than 21 values; the values read before a
// failure stay in colours.
BOOL ReadColoursFile(const CJOVString& path, COLORREF* colours);
// The same over bytes already read.
BOOL ParseColours(const unsigned char* bytes, size_t length, COLORREF* colours);

} // namespace Skins
