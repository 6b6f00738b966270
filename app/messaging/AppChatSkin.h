// The chat's skin and smilies set over the program's skin manager: its
// colours, images, background brush and smilies choice, and the smilies of
// the set it holds now.
// UI thread, but for the frames, which the smiley ticker reads too.
#pragma once

#include <atomic>

#include "messaging/ChatSkin.h"
#include "messaging/ChatSmilies.h"

class CSmaily;
class CSmiliesPack;

namespace Skins {
class CSkinManagerImpl;
}

class CAppChatSkin final : public CChatSkin, public CChatSmilies {
public:
    explicit CAppChatSkin(Skins::CSkinManagerImpl* skins);

    COLORREF GetColor(int index) override;
    BOOL DrawImage(unsigned id, CJOVDrawContext* context, int left, int top, int right, int bottom, bool alpha,
                   unsigned constantAlpha) override;
    HBRUSH GetBackgroundBrush(int kind) override;
    bool GetTextSmilies() override;
    int GetSmiliesNumber() override;
    // Takes the skin manager's set as it is now (waiting for its loader);
    // the smilies below are that set's until the next call.
    CChatSmilies* GetSmilies() override;

    int GetCount() override;
    int GetCodeCount(int smiley) override;
    CJOVString GetCode(int smiley, int code) override;
    int GetWidth(int smiley) override;
    int GetHeight(int smiley) override;
    int GetFrameCount(int smiley) override;
    HBITMAP GetFrameBitmap(int smiley, int frame) override;
    int GetFrameKeyColor(int smiley, int frame) override;
    int GetFrameDelay(int smiley, int frame) override;

private:
    CSmaily* Smiley(int index);

    Skins::CSkinManagerImpl* m_skins;
    // Replaced only after the animation stopped and every picture of the old
    // set became text (the skin manager's order), so the ticker never reads a
    // set that is gone.
    std::atomic<CSmiliesPack*> m_pack;
};
