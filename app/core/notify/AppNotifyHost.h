// The notifications' host over the program's components (g_App): texts and
// images through CGuiServices, contacts from the contact-list model, the main
// window. Bubble smilies come from the smilies set once it exists.
#pragma once

#include "core/notify/NotifyHost.h"

class CAppNotifyHost final : public CNotifyHost {
public:
    bool GetString(int textId, CJOVString& out) override;
    void DrawImage(int imageId, HDC dc, const RECT& rect) override;
    CJOVString GetContactAlias(unsigned int contactId) override;
    unsigned int GetContactAccount(unsigned int contactId) override;
    CJOVString GetAccountProtocolName(unsigned int accountId) override;
    CJOVString GetAccountName(unsigned int accountId) override;
    bool GetOverallStatus(int* status, CJOVArray<unsigned int>* images) override;
    HWND GetMainWindow() override;
    std::vector<BubbleSmiley> GetBubbleSmilies() override;
};
