// The program's side of the skin manager (its globals: "Lan changed", the
// messaging window) and the skin manager as the protocol plug-in manager's
// source of status texts and the language name.
#pragma once

#include "core/protocols/ProtocolsManagerHost.h"
#include "core/skins/SkinManagerHost.h"

namespace Skins {

class CAppSkinHost final : public CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override;
    HWND GetMessageWindow() override;
    // Nothing animates smilies yet.
    void StopSmileyAnimation() override {}
};

// Texts and language from g_App.pSkinManager; no warning bubbles yet.
class CSkinProtocolsHost final : public Protocols::CProtocolsManagerHost {
public:
    bool GetString(int textId, CJOVString& out) override;
    CJOVString GetLanguageName() override;
    void ShowWarning(unsigned int, const CJOVString&) override {}
};

} // namespace Skins
