// JOV.exe started in Russian and in Czech with an ICQ account (logging in at
// the scripted servers) and an XMPP account (with no data yet), walked
// through from outside: soft keys, main menu, status names, bubbles, a chat
// and its history, the preferences with their dialogs, both accounts' pages,
// the ICQ dialogs and the questions the program asks, all in the language
// (the ICQ plug-in in Czech, or in English for want of a Russian file), every
// text fitting its place; pictures kept as lang-<ru|cs>-<what>-<qvga|vga>.png.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "langrun/IcqSession.h"
#include "langrun/ProgramTour.h"
#include "langrun/RemoteUi.h"
#include "langrun/TextFit.h"

namespace {

const wchar_t kListClass[] = L"Contact List Wnd Class";
// The port box of the ICQ plug-in's connection page.
const int kIcqPortEdit = 1002;

// The control that tells each preferences page apart, and its picture's name.
const struct {
    int control;
    const wchar_t* name;
} kPages[] = {
    {1141, L"prefs-general"}, {1026, L"prefs-contactlist"}, {1057, L"prefs-events"},
    {1127, L"prefs-messaging"}, {1045, L"prefs-interface"}, {1034, L"prefs-history"},
    {1111, L"prefs-sounds"},    {1000, L"prefs-accounts"},  {1008, L"prefs-connection"},
};

std::wstring PageName(HWND page, int)
{
    for (const auto& known : kPages) {
        if (GetDlgItem(page, known.control))
            return known.name;
    }
    return L"prefs-unknown";
}

} // namespace

class LanguageTour : public ProgramTour {
protected:
    void Run(const wchar_t* language, const std::wstring& pictureCode)
    {
        CIcqSession icq;
        ASSERT_TRUE(icq.Listening());
        ProgramSettings settings;
        settings.language = language;
        settings.icqLoginPort = icq.LoginPort();
        settings.messageBubbles = true;
        Prepare(settings);
        Speak(language, pictureCode);
        icq.Start();
        ASSERT_TRUE(program.Start());
        main = program.WaitForWindow(L"JOV", kWaitMs);
        ASSERT_NE(main, nullptr);
        bar = SoftKeyBarOf(main);
        ASSERT_NE(bar, nullptr);
        for (DWORD start = GetTickCount(); !list && GetTickCount() - start < kWaitMs; Sleep(50))
            list = FindWindowExW(main, nullptr, kListClass, nullptr);
        ASSERT_NE(list, nullptr);

        MainWindowAndStatuses();
        BubblesAndChat(icq);
        if (HasFatalFailure())
            return;
        ChatHistory();
        ListDialogs();
        Preferences();
        OwnDetails();

        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit(kWaitMs));
        EXPECT_EQ(StoredLanguage(SettingsFile()), language);
    }

    // The soft keys and the overall status in the language; the main menu
    // and the status menu, open, pictured; online.
    void MainWindowAndStatuses()
    {
        EXPECT_EQ(SoftKeys(bar).at(0).text, texts->Program(15)) << "the left soft key";
        EXPECT_EQ(OverallStatus(main), texts->Program(0)) << "offline, in the language";
        ExpectShownWell(main, L"main", false);

        PostKey(main, VK_F1);
        HWND menu = WaitForMenu(5000);
        ASSERT_NE(menu, nullptr);
        Shot(L"menu", main);
        PostKey(menu, VK_ESCAPE);
        ASSERT_TRUE(WaitUntilGone(menu));

        PostMessageW(list, WM_CHAR, L'1', 1);
        HWND statuses = WaitForMenu(5000);
        ASSERT_NE(statuses, nullptr);
        Shot(L"status", main);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
            PostMessageW(statuses, WM_KEYDOWN, key, 0);
        ASSERT_TRUE(WaitUntilGone(statuses));
    }

    // The XMPP account's warning, then Carol's message as a bubble with its
    // two keys, hidden and opened from the list into her chat.
    void BubblesAndChat(CIcqSession& icq)
    {
        const int warned = program.WaitForLine("bubble shown: warning, serial 0, contact 0, flags 0x", kWaitMs);
        ASSERT_GE(warned, 0);
        const std::string line = program.Lines()[static_cast<size_t>(warned)];
        EXPECT_NE(line.find("\"" + CLanguageTexts::AsDebugText(texts->Program(170)) + "\""), std::string::npos)
            << line;
        HWND bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
        ASSERT_NE(bubble, nullptr);
        HWND bubbleBar = SoftKeyBarOf(bubble);
        ASSERT_NE(bubbleBar, nullptr);
        EXPECT_EQ(SoftKeyTexts(bubbleBar), texts->Program(173));
        Shot(L"warning", bubble);
        PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(bubbleBar).at(0).command), 0);

        ASSERT_TRUE(icq.WaitForCarol(kWaitMs)) << icq.Report();
        WaitForProgramIdle(main);
        EXPECT_EQ(OverallStatus(main), texts->Program(2)) << "online, in the language";
        const int before = static_cast<int>(program.Lines().size());
        icq.SendCarolsMessage();
        ASSERT_GE(program.WaitForLine("bubble shown: message", kWaitMs, before), 0);
        bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
        ASSERT_NE(bubble, nullptr);
        bubbleBar = SoftKeyBarOf(bubble);
        ASSERT_NE(bubbleBar, nullptr);
        EXPECT_EQ(SoftKeyTexts(bubbleBar), texts->Program(179) + L" | " + texts->Program(180));
        EXPECT_EQ(Describe(UnfitSoftKeys(bubbleBar)), "");
        Shot(L"bubble", bubble);
        PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(bubbleBar).at(1).command), 0);
        ASSERT_TRUE(WaitUntilGone(bubble));

        // Down the list to the first contact, Carol: the right key then says "Contact".
        for (int i = 0; i < 6 && SoftKeys(bar).at(1).text != texts->Program(32); ++i) {
            PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
            WaitForProgramIdle(list);
        }
        ASSERT_EQ(SoftKeys(bar).at(1).text, texts->Program(32)) << "the right key of a contact";
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        messages = program.WaitForWindow(texts->Program(119).c_str(), kWaitMs);
        ASSERT_NE(messages, nullptr) << "the messaging window, titled in the language";
        ExpectShownWell(messages, L"chat", false);
        Shot(L"chat", messages);
    }

    // Her history from the messaging window's menu: the find panel, the
    // delete question (answered no) and the file picker of "Save as...".
    void ChatHistory()
    {
        HWND history = OpenedBy([&] { ChooseFromMenu(messages, VK_F2, 8); });
        ASSERT_NE(history, nullptr) << "Message history";
        PostKey(history, VK_F1);
        ExpectShownWell(history, L"history");
        Shot(L"history", history);

        HWND question = OpenedBy([&] { ChooseFromMenu(history, VK_F2, 3); });
        ASSERT_NE(question, nullptr) << "Delete asks first";
        EXPECT_EQ(WindowText(question), texts->Program(165));
        EXPECT_EQ(StaticText(question), texts->Program(207));
        PostMessageW(question, WM_COMMAND, IDNO, 0);
        EXPECT_TRUE(WaitUntilGone(question));

        HWND picker = OpenedBy([&] { ChooseFromMenu(history, VK_F2, 2); });
        ExpectShownWell(picker, L"filepicker");
        Close(picker);
        Close(history);
        Close(messages);
    }

    // The list's account and group menus: the ICQ "Add contact" dialog and
    // its refusal of empty fields, the group name dialog and its refusal of
    // an empty name, and the question before a group is deleted.
    void ListDialogs()
    {
        // From Carol up to her group and to her account.
        PostMessageW(list, WM_KEYDOWN, VK_UP, 1);
        WaitForProgramIdle(list);
        ASSERT_EQ(SoftKeys(bar).at(1).text, texts->Program(26)) << "the right key of a group";
        HWND question = OpenedBy([&] { ChooseFromMenu(main, VK_F2, 2); });
        ASSERT_NE(question, nullptr) << "Delete group asks first";
        EXPECT_EQ(StaticText(question),
                  texts->Program(203).replace(texts->Program(203).find(L"%s"), 2, L"Friends"));
        PostMessageW(question, WM_COMMAND, IDNO, 0);
        EXPECT_TRUE(WaitUntilGone(question));

        PostMessageW(list, WM_KEYDOWN, VK_UP, 1);
        WaitForProgramIdle(list);
        ASSERT_EQ(SoftKeys(bar).at(1).text, texts->Program(21)) << "the right key of an account";
        englishLeft = texts->EnglishLeft(true);
        HWND add = OpenedBy([&] { ChooseFromMenu(main, VK_F2, 2); });
        ExpectShownWell(add, L"icq-add-contact");
        HWND refusal = OpenedBy([&] { PostMessageW(add, WM_COMMAND, IDOK, 0); });
        ASSERT_NE(refusal, nullptr) << "OK with empty fields is refused";
        EXPECT_EQ(WindowText(refusal), texts->Icq(144));
        EXPECT_EQ(StaticText(refusal), texts->Icq(142));
        PostMessageW(refusal, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(refusal));
        Close(add);
        englishLeft = texts->EnglishLeft();

        HWND name = OpenedBy([&] { ChooseFromMenu(main, VK_F2, 3); });
        ExpectShownWell(name, L"new-group");
        HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        refusal = OpenedBy([&] { PostMessageW(name, WM_COMMAND, IDOK, 0); });
        ASSERT_NE(refusal, nullptr) << "OK without a name is refused";
        EXPECT_EQ(WindowText(refusal), texts->Program(170));
        EXPECT_EQ(StaticText(refusal), texts->Program(205));
        PostMessageW(refusal, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(refusal));
        Close(name);
    }

    // Each page; the Messaging page's three dialogs with the font dialog,
    // the Interface page's colour dialogs, both accounts' options.
    void Preferences()
    {
        ChooseFromMenu(main, VK_F1, 3);
        HWND preferences = program.WaitForWindow(texts->Program(18).c_str(), kWaitMs);
        ASSERT_NE(preferences, nullptr);
        std::wstring seen;
        EachPage(preferences, 9, PageName, [&](HWND page, const std::wstring& name) {
            if (name == L"prefs-messaging")
                MessagingDialogs(page);
            else if (name == L"prefs-interface")
                ColourDialogs(page);
            else if (name == L"prefs-accounts") {
                seen += AccountPages(page);
                PostKey(GetDlgItem(page, 1000), VK_DOWN);
                seen += L"," + AccountPages(page);
            }
        });
        EXPECT_TRUE(seen == L"icq,xmpp" || seen == L"xmpp,icq") << Narrow(seen);
        Close(preferences);
    }

    void MessagingDialogs(HWND page)
    {
        HWND chat = OpenedBy([&] { PostClick(page, 1019); });
        ExpectShownWell(chat, L"chat-settings");
        HWND font = OpenedBy([&] { PostClick(chat, 1019); });
        ExpectShownWell(font, L"font");
        Close(font);
        Close(chat);
        for (int button : {1020, 1021}) {
            HWND dialog = OpenedBy([&] { PostClick(page, button); });
            ExpectShownWell(dialog, L"messaging " + std::to_wstring(button));
            Close(dialog);
        }
    }

    void ColourDialogs(HWND page)
    {
        HWND colours = OpenedBy([&] { PostClick(page, 1019); });
        ExpectShownWell(colours, L"colours");
        HWND colour = OpenedBy([&] { PostClick(colours, 1033); });
        ExpectShownWell(colour, L"colour");
        HWND palette = OpenedBy([&] { PostClick(colour, 1039); });
        ExpectShownWell(palette, L"palette", false);
        Close(palette);
        Close(colour);
        Close(colours);
    }

    // The selected account's options, each page pictured and named by its
    // plug-in, told by a label only the XMPP page has: "icq" or "xmpp".
    std::wstring AccountPages(HWND accountsPage)
    {
        HWND options = OpenedBy([&] { PostClick(accountsPage, 1002); });
        if (!options)
            return L"none";
        EXPECT_EQ(WindowText(options), texts->Program(25));
        const bool xmpp = Shows(options, texts->Xmpp(18));
        // The ICQ plug-in speaks the language when it has its file, else English.
        const std::wstring label = xmpp ? texts->Xmpp(16) : texts->Icq(51);
        englishLeft = texts->EnglishLeft(!xmpp);
        bool labelled = false;
        EachPage(options, 2, [&](HWND page, int i) {
            labelled = labelled || Shows(page, label);
            // The scripted server's port changes from run to run; the picture must not
            // (the options are cancelled, so nothing is stored).
            if (!xmpp && i == 1)
                SendMessageW(GetDlgItem(page, kIcqPortEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"5190"));
            const wchar_t* names[2][2] = {{L"icq-account", L"icq-connection"}, {L"xmpp-account", L"xmpp-expert"}};
            return std::wstring(names[xmpp ? 1 : 0][i]);
        });
        EXPECT_TRUE(labelled) << (xmpp ? "xmpp" : "icq") << " pages show \"" << Narrow(label) << "\"";
        englishLeft = texts->EnglishLeft();
        Close(options);
        return xmpp ? L"xmpp" : L"icq";
    }

    // "View/change my details" of the ICQ account: its nine pages.
    void OwnDetails()
    {
        englishLeft = texts->EnglishLeft(true);
        for (int account = 0; account < 2; ++account) {
            HWND details = OpenedBy([&] {
                PostKey(main, VK_F1);
                HWND menu = WaitForMenu(5000);
                for (int i = 0; i < 4; ++i)
                    PostKey(menu, VK_UP);
                PostKey(menu, VK_RIGHT);
                for (int i = 0; i < account; ++i)
                    PostKey(menu, VK_DOWN);
                PostKey(menu, VK_RETURN);
            }, 5000);
            if (!details || Shows(details, texts->Xmpp(18)))
                continue;
            EXPECT_EQ(WindowText(details), texts->Program(17));
            // Some pages hold only lists of data.
            EachPage(details, 9, [](HWND, int) { return std::wstring(); }, nullptr, false);
            Close(details);
            englishLeft = texts->EnglishLeft();
            return;
        }
        ADD_FAILURE() << "no ICQ details dialog";
    }

    HWND bar = nullptr;
    HWND list = nullptr;
    HWND messages = nullptr;
};

TEST_F(LanguageTour, RussianScreenshots)
{
    Run(L"Russian", L"ru");
}

TEST_F(LanguageTour, CzechScreenshots)
{
    Run(L"Czech", L"cs");
}

// A switch from Czech to Russian on the Interface page while the messaging
// window is open: the preferences, the main window's keys and status, the
// list's key, the messaging window and what the plug-ins show follow at
// once (the ICQ plug-in has no Russian file: English, not the Czech it had);
// a bubble after the switch is Russian; the choice is saved.
class LanguageSwitch : public LanguageTour {
protected:
    // The preferences' page that holds control, reached with the arrow keys.
    HWND PageOf(HWND preferences, int control)
    {
        HWND page = VisiblePage(preferences);
        for (int i = 0; i < 9 && page && !GetDlgItem(page, control); ++i) {
            NextTab(preferences, VK_RIGHT);
            WaitForProgramIdle(preferences);
            page = VisiblePage(preferences);
        }
        return page && GetDlgItem(page, control) ? page : nullptr;
    }

    static bool SelectComboText(HWND combo, const std::wstring& text)
    {
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            if (text == item)
                return SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0) == i;
        }
        return false;
    }
};

TEST_F(LanguageSwitch, FromCzechToRussianRelabelsEveryOpenWindowAndThePlugIns)
{
    CIcqSession icq;
    ASSERT_TRUE(icq.Listening());
    ProgramSettings settings;
    settings.language = L"Czech";
    settings.icqLoginPort = icq.LoginPort();
    Prepare(settings);
    Speak(L"Czech", L"cs");
    const CLanguageTexts czech(L"Czech");
    const CLanguageTexts russian(L"Russian");
    const CLanguageFile icqEnglish({L"Verdel", L"English", 0});
    icq.Start();
    ASSERT_TRUE(program.Start());
    main = program.WaitForWindow(L"JOV", kWaitMs);
    ASSERT_NE(main, nullptr);
    bar = SoftKeyBarOf(main);
    for (DWORD start = GetTickCount(); !list && GetTickCount() - start < kWaitMs; Sleep(50))
        list = FindWindowExW(main, nullptr, L"Contact List Wnd Class", nullptr);
    ASSERT_NE(list, nullptr);

    // Online; the XMPP warning answered; Carol's chat open.
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND statuses = WaitForMenu(5000);
    ASSERT_NE(statuses, nullptr);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(statuses, WM_KEYDOWN, key, 0);
    ASSERT_GE(program.WaitForLine("bubble shown: warning", kWaitMs), 0);
    HWND bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
    ASSERT_NE(bubble, nullptr);
    PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(SoftKeyBarOf(bubble)).at(0).command), 0);
    ASSERT_TRUE(WaitUntilGone(bubble));
    ASSERT_TRUE(icq.WaitForCarol(kWaitMs)) << icq.Report();
    for (int i = 0; i < 6 && SoftKeys(bar).at(1).text != czech.Program(32); ++i) {
        PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
        WaitForProgramIdle(list);
    }
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    messages = program.WaitForWindow(czech.Program(119).c_str(), kWaitMs);
    ASSERT_NE(messages, nullptr);
    HWND messagesBar = SoftKeyBarOf(messages);
    EXPECT_EQ(SoftKeyTexts(messagesBar), czech.Program(178) + L" | " + czech.Program(176));

    // Russian on the Interface page, applied: the preferences reload in it.
    ChooseFromMenu(main, VK_F1, 3);
    HWND preferences = program.WaitForWindow(czech.Program(18).c_str(), kWaitMs);
    ASSERT_NE(preferences, nullptr);
    HWND look = PageOf(preferences, 1045);
    ASSERT_NE(look, nullptr);
    ASSERT_TRUE(SelectComboText(GetDlgItem(look, 1034), L"Russian"));
    PostKey(preferences, VK_F1);
    ASSERT_TRUE(WaitForTitle(preferences, russian.Program(18)) != nullptr) << "the preferences' title";
    WaitForProgramIdle(preferences);
    Speak(L"Russian", L"ru");
    EXPECT_TRUE(Shows(VisiblePage(preferences), russian.Program(106))) << "the page reloaded";
    EXPECT_EQ(SoftKeyTexts(SoftKeyBarOf(preferences)), russian.Program(175) + L" | " + russian.Program(174));
    ExpectShownWell(preferences, L"switched preferences");
    Close(preferences);

    // The windows that stayed open.
    WaitForProgramIdle(main);
    EXPECT_EQ(SoftKeys(bar).at(0).text, russian.Program(15)) << "the main window's left key";
    EXPECT_EQ(SoftKeys(bar).at(1).text, russian.Program(32)) << "the list's key of its contact";
    EXPECT_EQ(OverallStatus(main), russian.Program(2)) << "the overall status";
    EXPECT_EQ(WindowText(messages), russian.Program(119)) << "the messaging window's title";
    EXPECT_EQ(SoftKeyTexts(messagesBar), russian.Program(178) + L" | " + russian.Program(176));
    Close(messages);

    // The plug-ins: the ICQ pages in English (no Russian file), the XMPP ones in Russian.
    ChooseFromMenu(main, VK_F1, 3);
    preferences = program.WaitForWindow(russian.Program(18).c_str(), kWaitMs);
    ASSERT_NE(preferences, nullptr);
    HWND accounts = PageOf(preferences, 1000);
    ASSERT_NE(accounts, nullptr);
    for (int row = 0; row < 2; ++row) {
        if (row == 1)
            PostKey(GetDlgItem(accounts, 1000), VK_DOWN);
        HWND options = OpenedBy([&] { PostClick(accounts, 1002); });
        ASSERT_NE(options, nullptr);
        if (Shows(options, russian.Xmpp(18))) {
            EXPECT_TRUE(Shows(options, russian.Xmpp(16))) << "XMPP in Russian";
        } else {
            EXPECT_TRUE(Shows(options, icqEnglish.Text(51))) << "ICQ in English";
            EXPECT_FALSE(Shows(options, czech.Icq(51))) << "not the Czech it had";
        }
        Close(options);
    }
    Close(preferences);

    // A bubble after the switch: offline, then online again, and the XMPP
    // account's warning comes again, titled in Russian.
    const int before = static_cast<int>(program.Lines().size());
    for (bool online : {false, true}) {
        PostMessageW(list, WM_CHAR, L'1', 1);
        statuses = WaitForMenu(5000);
        ASSERT_NE(statuses, nullptr);
        const std::vector<WPARAM> keys =
            online ? std::vector<WPARAM>{VK_DOWN, VK_DOWN, VK_RETURN} : std::vector<WPARAM>{VK_UP, VK_RETURN};
        for (WPARAM key : keys)
            PostMessageW(statuses, WM_KEYDOWN, key, 0);
        ASSERT_TRUE(WaitUntilGone(statuses));
        WaitForProgramIdle(main);
    }
    const int warned = program.WaitForLine("bubble shown: warning", kWaitMs, before);
    ASSERT_GE(warned, 0);
    EXPECT_NE(program.Lines()[static_cast<size_t>(warned)].find(CLanguageTexts::AsDebugText(russian.Program(170))),
              std::string::npos);
    bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(SoftKeyTexts(SoftKeyBarOf(bubble)), russian.Program(173));
    PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(SoftKeyBarOf(bubble)).at(0).command), 0);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(kWaitMs));
    EXPECT_EQ(StoredLanguage(SettingsFile()), L"Russian");
}

// "Lang" naming a language with no file: the program comes up in English,
// and saves "English".
TEST_F(LanguageTour, AMissingLanguageComesUpInEnglishAndIsSavedSo)
{
    ProgramSettings settings;
    settings.language = L"Klingon";
    Prepare(settings);
    Speak(L"English", L"en");
    ASSERT_TRUE(program.Start());
    // No account: the preferences open by themselves.
    HWND preferences = program.WaitForWindow(L"Preferences", kWaitMs);
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(SoftKeyTexts(SoftKeyBarOf(preferences)), L"Apply | Cancel");
    Close(preferences);
    main = program.WaitForWindow(L"JOV", kWaitMs);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(SoftKeys(SoftKeyBarOf(main)).at(0).text, L"Menu");
    EXPECT_EQ(OverallStatus(main), L"Offline");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(kWaitMs));
    EXPECT_EQ(StoredLanguage(SettingsFile()), L"English");
}
