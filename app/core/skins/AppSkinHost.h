// The program's side of the skin manager (its globals: "Lan changed", the
// messaging window) and the skin manager as the protocol plug-in manager's
// source of status texts and the language name.
#pragma once

#include "core/protocols/ProtocolsManagerHost.h"
#include "core/skins/SkinManagerHost.h"
#include "messaging/GifAnimator.h"

namespace Skins {

class CAppSkinHost final : public CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override;
    HWND GetMessageWindow() override;
    // The chat's smiley animation, before a set goes.
    void StopSmileyAnimation() override { ::StopSmileyAnimation(); }
};

// Texts and language from g_App.pSkinManager; no warning bubbles yet.
class CSkinProtocolsHost final : public Protocols::CProtocolsManagerHost {
public:
    bool GetString(int textId, CJOVString& out) override;
    CJOVString GetLanguageName() override;
    void ShowWarning(unsigned int, const CJOVString&) override {}
};

} // namespace Skins
