// What the notifications manager, the tray icon and the version check need of
// the rest of the program: texts and images (skin manager), contacts
// (contact-list model), accounts and the overall status (protocol plug-in
// manager), the main window and the smilies set. A part that does not exist
// answers "nothing". Any thread.
#pragma once

#include <windows.h>

#include <vector>

#include "JOVArray.h"
#include "JOVString.h"

// One smiley of the current set: its text codes and its image file.
struct BubbleSmiley {
    std::vector<CJOVString> codes;
    CJOVString imagePath;
};

class CNotifyHost {
public:
    // The program's text of that id in the current language.
    virtual bool GetString(int textId, CJOVString& out) = 0;
    // Draws a skin image over the rectangle; -1 draws nothing.
    virtual void DrawImage(int imageId, HDC dc, const RECT& rect) = 0;
    // The contact's "CL Alias".
    virtual CJOVString GetContactAlias(unsigned int contactId) = 0;
    // 0 when the contact is unknown.
    virtual unsigned int GetContactAccount(unsigned int contactId) = 0;
    virtual CJOVString GetAccountProtocolName(unsigned int accountId) = 0;
    virtual CJOVString GetAccountName(unsigned int accountId) = 0;
    // The overall status (account 0) and its images; false when unknown.
    virtual bool GetOverallStatus(int* status, CJOVArray<unsigned int>* images) = 0;
    virtual HWND GetMainWindow() = 0;
    // The smilies to show as images in bubbles; empty when the set has none,
    // shows smilies as text, or the skin's smilies count is below 1.
    virtual std::vector<BubbleSmiley> GetBubbleSmilies() = 0;

protected:
    ~CNotifyHost() = default;
};

// The text of that id, or the English text.
CJOVString NotifyText(CNotifyHost& host, int textId, const wchar_t* english);
