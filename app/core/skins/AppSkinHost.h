// The program's side of the skin manager (its globals: "Lan changed", the
// messaging window).
#pragma once

#include "core/skins/SkinManagerHost.h"

namespace Skins {

class CAppSkinHost final : public CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override;
    HWND GetMessageWindow() override;
    // Nothing animates smilies yet.
    void StopSmileyAnimation() override {}
};

} // namespace Skins
