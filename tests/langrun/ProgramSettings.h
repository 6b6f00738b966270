// "settings.jov" of a program folder, written before the program starts as
// the program itself would have stored it: the language, and optionally an
// ICQ account that logs in at 127.0.0.1 and an XMPP account with no data yet.
#pragma once

#include <string>

struct ProgramSettings {
    std::wstring language;            // "Lang"; empty: not stored
    unsigned short icqLoginPort = 0;  // 0: no accounts
    bool messageBubbles = false;      // incoming messages shown as bubbles even in front
};

bool WriteProgramSettings(const std::wstring& file, const ProgramSettings& settings);
// The stored "Lang", or "<missing>".
std::wstring StoredLanguage(const std::wstring& file);
