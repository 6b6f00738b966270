// JOV.exe started in Russian and in Czech, followed from outside: its soft
// keys, main menu, status names, bubbles, chat, preferences and the ICQ and
// XMPP account pages in the language (the ICQ plug-in in Czech or English:
// it has no Russian file), every text fitting its place, and pictures of
// each kept as lang-<ru|cs>-<what>-<qvga|vga>.png; a language whose file is
// missing comes up in English and is saved so; a switch on the Interface
// page relabels every open window and the plug-ins.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <memory>
#include <string>

#include "LanguageFiles.h"
#include "dialogs/Screenshot.h"
#include "langrun/IcqSession.h"
#include "langrun/ProgramSettings.h"
#include "langrun/RemoteUi.h"
#include "langrun/TextFit.h"
#include "notify/DebuggedProgram.h"

namespace {

const DWORD kWaitMs = 30000;
const wchar_t kListClass[] = L"Contact List Wnd Class";

// The controls that tell the preferences' pages apart, and the pictures' names.
const struct {
    int control;
    const wchar_t* name;
} kPages[] = {
    {1141, L"prefs-general"}, {1026, L"prefs-contactlist"}, {1057, L"prefs-events"},
    {1127, L"prefs-messaging"}, {1045, L"prefs-interface"}, {1034, L"prefs-history"},
    {1111, L"prefs-sounds"},    {1000, L"prefs-accounts"},  {1008, L"prefs-connection"},
};
const int kAccountSettings = 1002;
const int kLanguageCombo = 1043;

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool CopyFolder(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool copied = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copied = CopyFolder(from + L"\\" + name, to + L"\\" + name) && copied;
        else
            copied = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && copied;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copied;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    Encode(text, CP_UTF8, out);
    return out;
}

// The texts of one language as its files hold them; a component without a
// file of the language shows English.
class CLanguage {
public:
    explicit CLanguage(const wchar_t* name) : m_name(name)
    {
        for (const wchar_t* component : {L"JOV", L"Verdel", L"Jabber"}) {
            auto file = std::make_unique<CLanguageFile>(LanguageFileName{component, name, 0});
            if (!file->IsOpen())
                file = std::make_unique<CLanguageFile>(LanguageFileName{component, L"English", 0});
            m_files[component] = std::move(file);
        }
    }
    std::wstring Program(int id) const { return m_files.at(L"JOV")->Text(id); }
    std::wstring Icq(int id) const { return m_files.at(L"Verdel")->Text(id); }
    std::wstring Xmpp(int id) const { return m_files.at(L"Jabber")->Text(id); }
    const std::wstring& Name() const { return m_name; }
    // As the program's debug output carries it: in the system's code page.
    static std::string AsDebugText(const std::wstring& text)
    {
        const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
        return out;
    }
    // The English texts that this language words otherwise: seen in a
    // window, they were left untranslated.
    // In the ICQ plug-in's own windows the texts of its English file, when
    // it has none of this language, are not counted.
    std::set<std::wstring> EnglishLeft(bool icqWindow = false) const
    {
        std::set<std::wstring> english;
        const CLanguageFile& icq = *m_files.at(L"Verdel");
        const bool icqInEnglish = icqWindow && std::wstring(icq.FileName().language) == L"English";
        for (const auto& file : m_files) {
            if (std::wstring(file.second->FileName().language) == L"English")
                continue;
            CLanguageFile original({file.second->FileName().component, L"English", 0});
            std::set<std::wstring> own;
            for (int id = 0; id <= file.second->LastId(); ++id)
                own.insert(file.second->Text(id));
            for (int id = 0; id <= original.LastId(); ++id) {
                if (!own.count(original.Text(id)))
                    english.insert(original.Text(id));
            }
        }
        for (int id = 0; icqInEnglish && id <= icq.LastId(); ++id)
            english.erase(icq.Text(id));
        return english;
    }

private:
    std::wstring m_name;
    std::map<std::wstring, std::unique_ptr<CLanguageFile>> m_files;
};

// True when a control of window or of its pages shows exactly text.
struct TextSearch {
    const std::wstring* text;
    bool found;
};

BOOL CALLBACK MatchText(HWND control, LPARAM param)
{
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (IsWindowVisible(control) && TextOf(control) == *search->text) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct EnglishSearch {
    const std::set<std::wstring>* english;
    std::wstring found;
};

BOOL CALLBACK MatchEnglish(HWND control, LPARAM param)
{
    auto* search = reinterpret_cast<EnglishSearch*>(param);
    const std::wstring text = TextOf(control);
    if (IsWindowVisible(control) && search->english->count(text))
        search->found += L"\n  " + std::to_wstring(GetDlgCtrlID(control)) + L": \"" + text + L"\"";
    return TRUE;
}

// The controls of window (and its pages) and its soft keys showing an English text.
std::wstring EnglishShown(HWND window, const std::set<std::wstring>& english)
{
    EnglishSearch search = {&english, L""};
    EnumChildWindows(window, MatchEnglish, reinterpret_cast<LPARAM>(&search));
    if (HWND bar = SoftKeyBarOf(window, 1000)) {
        for (const RemoteSoftKey& key : SoftKeys(bar)) {
            if (english.count(key.text))
                search.found += L"\n  soft key: \"" + key.text + L"\"";
        }
    }
    return search.found;
}

bool Shows(HWND window, const std::wstring& text)
{
    TextSearch search = {&text, false};
    EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The overall status button's text: the one button of the status bar with a text.
std::wstring OverallStatus(HWND main)
{
    HWND toolbar = FindWindowExW(main, nullptr, L"ToolbarWindow32", nullptr);
    for (const RemoteSoftKey& button : SoftKeys(toolbar)) {
        if (!button.text.empty())
            return button.text;
    }
    return L"<none>";
}

std::wstring PageName(HWND page, int);

class LanguageRun : public testing::Test {
protected:
    // A copy of the runnable tree whose "settings.jov" holds what is given.
    void Prepare(const ProgramSettings& settings)
    {
        ASSERT_TRUE(program.Prepare());
        for (const wchar_t* folder : {L"Protos", L"Skins", L"Smilies", L"Sounds", L"Langs"})
            ASSERT_TRUE(CopyFolder(OwnFolder() + L"\\" + folder, program.Folder() + L"\\" + folder)) << Narrow(folder);
        ASSERT_TRUE(WriteProgramSettings(Settings(), settings));
    }
    std::wstring Settings() const { return program.Folder() + L"\\settings.jov"; }

    void Shot(const std::wstring& code, const std::wstring& what, HWND window)
    {
        WaitForProgramIdle(window);
        EXPECT_TRUE(SaveScreenshotAs(L"lang-" + code, what)) << Narrow(what);
    }

    // Every text of the window, its pages and its soft keys fits, and none
    // is left in English.
    void ExpectFits(HWND window, const std::wstring& what, bool withControls = true)
    {
        const std::wstring english = EnglishShown(window, englishLeft);
        EXPECT_EQ(Narrow(english), "") << Narrow(what) << " shows English";
        const std::vector<UnfitText> unfit = UnfitControlTexts(window);
        if (withControls) {
            EXPECT_GT(MeasuredCount(), 0) << Narrow(what) << ": no text measured";
        }
        if (!unfit.empty())
            ADD_FAILURE() << Narrow(what) << ":" << Describe(unfit);
        if (HWND bar = SoftKeyBarOf(window, 1000)) {
            const std::vector<UnfitText> keys = UnfitSoftKeys(bar);
            if (!keys.empty())
                ADD_FAILURE() << Narrow(what) << " soft keys:" << Describe(keys);
        }
    }

    // The main menu's item that many places up from the bottom (1: "Quit").
    void ChooseFromMainMenu(HWND main, int fromBottom)
    {
        PostKey(main, VK_F1);
        HWND menu = WaitForMenu();
        ASSERT_NE(menu, nullptr) << "F1 opens no menu";
        for (int i = 0; i < fromBottom; ++i)
            PostKey(menu, VK_UP);
        PostKey(menu, VK_RETURN);
        ASSERT_TRUE(WaitUntilGone(menu));
    }

    // The arrow key on the tab strip, with the strip focused as the user's
    // arrow keys focus it.
    static void NextTab(HWND dialog, UINT key)
    {
        HWND strip = FindWindowExW(dialog, nullptr, L"Button", nullptr);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), reinterpret_cast<LPARAM>(strip));
        PostKey(strip, key);
    }

    // Each page of a tabbed dialog in turn, from its first: fits, and a
    // picture of each named by name(page).
    template <typename Name>
    void EachPage(HWND dialog, int pages, const std::wstring& code, const Name& name)
    {
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                NextTab(dialog, VK_RIGHT);
            WaitForProgramIdle(dialog);
            HWND page = VisiblePage(dialog);
            ASSERT_NE(page, nullptr);
            const std::wstring what = name(page, i);
            ExpectFits(dialog, what);
            Shot(code, what, dialog);
        }
    }

    // The selected account's options: each page, named by its plug-in
    // ("icq" or "xmpp", told by a label only the XMPP page has); answers
    // the name, or "" when the options did not open.
    std::wstring AccountPages(HWND accountsPage, const CLanguage& texts, const std::wstring& code)
    {
        WaitForProgramIdle(accountsPage);
        PostClick(accountsPage, kAccountSettings);
        HWND options = program.WaitForWindow(texts.Program(25).c_str(), kWaitMs);
        if (!options)
            return L"";
        WaitForProgramIdle(options);
        const bool xmpp = Shows(options, texts.Xmpp(18));
        const std::wstring protocol = xmpp ? L"xmpp" : L"icq";
        // The ICQ plug-in speaks the language when it has its file, else English.
        const std::wstring label = xmpp ? texts.Xmpp(16) : texts.Icq(51);
        englishLeft = texts.EnglishLeft(!xmpp);
        bool labelled = false;
        EachPage(options, 2, code, [&](HWND page, int i) {
            labelled = labelled || Shows(page, label);
            const wchar_t* names[2][2] = {{L"icq-account", L"icq-connection"}, {L"xmpp-account", L"xmpp-expert"}};
            return std::wstring(names[xmpp ? 1 : 0][i]);
        });
        EXPECT_TRUE(labelled) << Narrow(protocol) << " pages show \"" << Narrow(label) << "\"";
        englishLeft = texts.EnglishLeft();
        PostMessageW(options, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntilGone(options));
        return protocol;
    }

    CDebuggedProgram program;
    std::set<std::wstring> englishLeft;
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

class LanguageTour : public LanguageRun {
protected:
    void Run(const wchar_t* language, const std::wstring& code)
    {
        CIcqSession icq;
        ASSERT_TRUE(icq.Listening());
        ProgramSettings settings;
        settings.language = language;
        settings.icqLoginPort = icq.LoginPort();
        settings.messageBubbles = true;
        Prepare(settings);
        icq.Start();
        ASSERT_TRUE(program.Start());
        const CLanguage texts(language);
        englishLeft = texts.EnglishLeft();

        HWND main = program.WaitForWindow(L"JOV", kWaitMs);
        ASSERT_NE(main, nullptr);
        HWND bar = SoftKeyBarOf(main);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(SoftKeys(bar).at(0).text, texts.Program(15)) << "the left soft key";
        EXPECT_EQ(OverallStatus(main), texts.Program(0)) << "offline, in the language";
        EXPECT_EQ(Describe(UnfitSoftKeys(bar)), "");

        // The main menu, open over the list.
        PostKey(main, VK_F1);
        HWND menu = WaitForMenu();
        ASSERT_NE(menu, nullptr);
        Shot(code, L"menu", main);
        PostKey(menu, VK_ESCAPE);
        ASSERT_TRUE(WaitUntilGone(menu));

        // Online from the list's status key: the status names of the menu.
        HWND list = FindWindowExW(main, nullptr, kListClass, nullptr);
        ASSERT_NE(list, nullptr);
        PostMessageW(list, WM_CHAR, L'1', 1);
        HWND statuses = WaitForMenu();
        ASSERT_NE(statuses, nullptr);
        Shot(code, L"status", main);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
            PostMessageW(statuses, WM_KEYDOWN, key, 0);
        ASSERT_TRUE(WaitUntilGone(statuses));

        // The XMPP account has no data yet: its warning, titled in the language.
        const std::string warning = "bubble shown: warning, serial 0, contact 0, flags 0x";
        const int warned = program.WaitForLine(warning, kWaitMs);
        ASSERT_GE(warned, 0);
        EXPECT_NE(program.Lines()[static_cast<size_t>(warned)].find("\"" + CLanguage::AsDebugText(texts.Program(170)) + "\""),
                  std::string::npos)
            << program.Lines()[static_cast<size_t>(warned)];
        HWND bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
        ASSERT_NE(bubble, nullptr);
        HWND bubbleBar = SoftKeyBarOf(bubble);
        ASSERT_NE(bubbleBar, nullptr);
        EXPECT_EQ(SoftKeyTexts(bubbleBar), texts.Program(173));
        Shot(code, L"warning", bubble);
        PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(bubbleBar).at(0).command), 0);

        // Carol's message as a bubble with its two keys; her chat.
        ASSERT_TRUE(icq.WaitForCarol(kWaitMs)) << icq.Report();
        EXPECT_EQ(OverallStatus(main), texts.Program(2)) << "online, in the language";
        const int before = static_cast<int>(program.Lines().size());
        icq.SendCarolsMessage();
        ASSERT_GE(program.WaitForLine("bubble shown: message", kWaitMs, before), 0);
        bubble = FindWindowW(L"JOV Notification Bubble", nullptr);
        ASSERT_NE(bubble, nullptr);
        bubbleBar = SoftKeyBarOf(bubble);
        ASSERT_NE(bubbleBar, nullptr);
        EXPECT_EQ(SoftKeyTexts(bubbleBar), texts.Program(179) + L" | " + texts.Program(180));
        EXPECT_EQ(Describe(UnfitSoftKeys(bubbleBar)), "");
        Shot(code, L"bubble", bubble);
        // "Hide": the message waits in the list, opened from there with Enter.
        PostMessageW(bubble, WM_COMMAND, static_cast<WPARAM>(SoftKeys(bubbleBar).at(1).command), 0);
        ASSERT_TRUE(WaitUntilGone(bubble));
        // Down the list to the first contact, Carol: the right key then says "Contact".
        for (int i = 0; i < 6 && SoftKeys(bar).at(1).text != texts.Program(32); ++i) {
            PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
            WaitForProgramIdle(list);
        }
        EXPECT_EQ(SoftKeys(bar).at(1).text, texts.Program(32)) << "the right key of a contact";
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        HWND messages = program.WaitForWindow(texts.Program(119).c_str(), kWaitMs);
        ASSERT_NE(messages, nullptr) << "the messaging window, titled in the language";
        ExpectFits(messages, L"chat", false);
        Shot(code, L"chat", messages);
        PostMessageW(messages, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntilGone(messages));

        // The preferences: each page; on "Accounts" each account's pages.
        ChooseFromMainMenu(main, 3);
        HWND preferences = program.WaitForWindow(texts.Program(18).c_str(), kWaitMs);
        ASSERT_NE(preferences, nullptr);
        EachPage(preferences, 9, code, PageName);
        HWND accounts = VisiblePage(preferences);
        for (int i = 0; i < 9 && PageName(accounts, 0) != L"prefs-accounts"; ++i) {
            NextTab(preferences, VK_LEFT);
            WaitForProgramIdle(preferences);
            accounts = VisiblePage(preferences);
        }
        ASSERT_EQ(PageName(accounts, 0), L"prefs-accounts");
        const std::wstring first = AccountPages(accounts, texts, code);
        PostKey(GetDlgItem(accounts, 1000), VK_DOWN);
        const std::wstring second = AccountPages(accounts, texts, code);
        EXPECT_EQ(first + L"," + second == L"icq,xmpp" || first + L"," + second == L"xmpp,icq", true)
            << Narrow(first) << "," << Narrow(second);
        PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntilGone(preferences));

        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit(kWaitMs));
        EXPECT_EQ(StoredLanguage(Settings()), language);
    }
};

TEST_F(LanguageTour, RussianScreenshots)
{
    Run(L"Russian", L"ru");
}

TEST_F(LanguageTour, CzechScreenshots)
{
    Run(L"Czech", L"cs");
}
