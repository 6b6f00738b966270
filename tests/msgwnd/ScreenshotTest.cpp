// Pictures of the messaging window and its dialogs on the pocket screen, for
// a person to look at: a chat with its history, a separator, smilies, a
// link, a long word wrapped and an outgoing reply above the edit box and the
// toolbar; the smiley chooser; the font dialog; the controls settings.
#include "chat/Screenshot.h"
#include "dialogs/DialogScript.h"
#include "messaging/FontDlg.h"
#include "messaging/MsgWnd_MenuSettingsDlg.h"
#include "msgwnd/MessagingFixture.h"

namespace {

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
}

} // namespace

TEST_F(MessagingTest, ScreenshotOfAChat)
{
    SetByte(L"Show time", 1);
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"Are we still on for Friday?", L"Yes, at eight."});
    window->OpenContact(ann, 0);
    Receive(ann, L"Hi :-) the photos are at http://example.org/photos ;-)");
    Receive(ann, L"Pneumonoultramicroscopicsilicovolcanoconiosis is the longest word I know :-D");
    protocols->SetSentTime(1700000100UL);
    Type(ann, L"Thanks!");
    window->SendCurrentMessage();
    PumpFor(300);
    Type(ann, L"See you");
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPicture(window->GetWnd(), L"msg-chat"));
}

TEST_F(MessagingTest, ScreenshotOfTheSmileyChooser)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    bool saved = false;
    CDialogScript script;
    script.When(L"Smilies", [&](HWND dialog) {
        PumpFor(300);
        saved = SaveWindowPicture(dialog, L"msg-chooser");
        PostCommand(dialog, IDCANCEL);
    });
    script.Start();
    window->ChooseSmiley();
    EXPECT_TRUE(saved);
}

TEST_F(MessagingTest, ScreenshotOfTheFontAndControlsDialogs)
{
    Start();
    bool fontSaved = false, controlsSaved = false;
    CDialogScript script;
    script.When(L"Font", [&](HWND dialog) {
        PumpFor(100);
        fontSaved = SaveWindowPicture(dialog, L"msg-font");
        PostCommand(dialog, IDCANCEL);
    });
    script.Start();
    CFontDlg font(window->GetWnd(), window->GetSettings().GetLogFont(MessageWndSettings::TextFont));
    font.DoModal();

    CDialogScript second;
    second.When(L"Controls", [&](HWND dialog) {
        PumpFor(100);
        controlsSaved = SaveWindowPicture(dialog, L"msg-controls");
        PostCommand(dialog, IDCANCEL);
    });
    second.Start();
    CMsgWnd_MenuSettingsDlg controls(window->GetWnd(), &window->GetSettings());
    controls.DoModal();
    EXPECT_TRUE(fontSaved);
    EXPECT_TRUE(controlsSaved);
}
