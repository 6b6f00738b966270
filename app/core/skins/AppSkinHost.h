// The program's side of the skin manager (its globals: "Lan changed", the
// messaging window).
#pragma once

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

} // namespace Skins
