// A host for the program's skin manager in the chat tests: no language
// event, no message window, no smiley animation to stop.
#pragma once

#include "core/skins/SkinManagerImpl.h"

class CQuietSkinHost final : public Skins::CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override { return 0; }
    HWND GetMessageWindow() override { return nullptr; }
    void StopSmileyAnimation() override {}
};
