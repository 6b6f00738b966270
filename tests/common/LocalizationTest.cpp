// CLocalization: the order in which language files are tried, what stays
// loaded, and captions. The files are small test builds in
// bin/test_langs/<case>/Langs (T_English, T_Russian, and T_Broken, which
// lacks the look-up), and the real files in bin/Langs.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "Localization.h"

namespace {

const CJOVString kPrefix(L"T_");

CJOVString Folder(const wchar_t* testCase)
{
    return GetAppDir() + CJOVString(L"test_langs\\") + CJOVString(testCase) + CJOVString(L"\\Langs");
}

std::wstring Text(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

std::wstring CurLang(const CLocalization& localization)
{
    CJOVString name(L"(none)");
    localization.GetCurLang(name);
    return Text(name);
}

// Text 0 of a test file names its language.
std::wstring TextZero(const CLocalization& localization)
{
    CJOVString text(L"(none)");
    localization.GetString(0, text);
    return Text(text);
}

bool IsLoaded(const wchar_t* testCase, const wchar_t* file)
{
    CJOVString path = Folder(testCase) + CJOVString(L"\\") + CJOVString(file);
    return GetModuleHandleW(path) != nullptr;
}

} // namespace

TEST(LocalizationLoad, ChosenLanguageIsLoaded)
{
    CLocalization localization(Folder(L"full"), kPrefix);
    ASSERT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
    EXPECT_EQ(CurLang(localization), L"Russian");
    EXPECT_EQ(TextZero(localization), L"Russian");
    CJOVString out(L"kept");
    EXPECT_FALSE(localization.GetString(2, out));  // beyond the file's table
    EXPECT_EQ(Text(out), L"kept");
}

TEST(LocalizationFallback, MissingLanguageFallsBackToEnglish)
{
    CLocalization localization(Folder(L"full"), kPrefix);
    EXPECT_TRUE(localization.ChangeLang(CJOVString(L"Czech")));
    EXPECT_EQ(CurLang(localization), L"English");
    EXPECT_EQ(TextZero(localization), L"English");
}

TEST(LocalizationFallback, WithoutEnglishAnyFileWithThePrefixIsTriedAndNamedByLanguage)
{
    // T_Broken may come first in the listing: it is skipped for T_Russian.
    CLocalization localization(Folder(L"russian_only"), kPrefix);
    EXPECT_TRUE(localization.ChangeLang(CJOVString(L"Czech")));
    EXPECT_EQ(CurLang(localization), L"Russian");
    EXPECT_EQ(TextZero(localization), L"Russian");
    // Asking for the name it reported finds the file loaded.
    EXPECT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
}

TEST(LocalizationFallback, FileWithoutTheLookUpIsRefused)
{
    CLocalization broken(Folder(L"broken_only"), kPrefix);
    EXPECT_FALSE(broken.ChangeLang(CJOVString(L"Broken")));
    CJOVString out(L"kept");
    EXPECT_FALSE(broken.GetString(0, out));
    EXPECT_FALSE(broken.GetCurLang(out));
    EXPECT_EQ(Text(out), L"kept");
    EXPECT_FALSE(IsLoaded(L"broken_only", L"T_Broken.dll"));

    CLocalization nowhere(Folder(L"no_such_case"), kPrefix);
    EXPECT_FALSE(nowhere.ChangeLang(CJOVString(L"English")));
}

TEST(LocalizationFallback, OnlyTheFirstCallFallsBack)
{
    CLocalization localization(Folder(L"full"), kPrefix);
    ASSERT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
    EXPECT_FALSE(localization.ChangeLang(CJOVString(L"Czech")));
    EXPECT_EQ(CurLang(localization), L"Russian");
    EXPECT_EQ(TextZero(localization), L"Russian");
    EXPECT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));  // the current one

    // A first call that fell back has used it up as well.
    CLocalization fellBack(Folder(L"full"), kPrefix);
    ASSERT_TRUE(fellBack.ChangeLang(CJOVString(L"Czech")));
    EXPECT_FALSE(fellBack.ChangeLang(CJOVString(L"Polish")));
    EXPECT_EQ(CurLang(fellBack), L"English");
}

TEST(LocalizationFallback, EmptyNameWithNothingLoadedFallsBack)
{
    // The first current language is empty too; that must not pass for loaded.
    CLocalization localization(Folder(L"full"), kPrefix);
    EXPECT_TRUE(localization.ChangeLang(CJOVString()));
    EXPECT_EQ(CurLang(localization), L"English");
}

// A plug-in follows the program: its language, else English, whatever came before.
TEST(LocalizationPlugInFallback, MissingLanguageGivesEnglishAfterEverySwitch)
{
    CLocalization localization(Folder(L"full"), kPrefix);
    EXPECT_TRUE(localization.ChangeLangOrEnglish(CJOVString(L"Russian")));
    EXPECT_EQ(TextZero(localization), L"Russian");
    EXPECT_FALSE(localization.ChangeLangOrEnglish(CJOVString(L"Czech")));
    EXPECT_EQ(CurLang(localization), L"English");
    EXPECT_EQ(TextZero(localization), L"English");
    EXPECT_TRUE(localization.ChangeLangOrEnglish(CJOVString(L"Russian")));
    EXPECT_EQ(TextZero(localization), L"Russian");
    // The same missing language again: English again, not the Russian of just now.
    EXPECT_FALSE(localization.ChangeLangOrEnglish(CJOVString(L"Czech")));
    EXPECT_EQ(TextZero(localization), L"English");

    // The first call of a life and the program's own rule after it are unchanged.
    CLocalization first(Folder(L"full"), kPrefix);
    EXPECT_FALSE(first.ChangeLangOrEnglish(CJOVString(L"Czech")));
    EXPECT_EQ(CurLang(first), L"English");
    EXPECT_FALSE(first.ChangeLang(CJOVString(L"Polish")));
    EXPECT_EQ(CurLang(first), L"English");
}

TEST(LocalizationPlugInFallback, WithoutEnglishTheBuiltInTextsNotAnEarlierLanguage)
{
    CLocalization localization(Folder(L"russian_only"), kPrefix);
    // Not the first file with the prefix, as the program's first call would take.
    EXPECT_FALSE(localization.ChangeLangOrEnglish(CJOVString(L"Czech")));
    CJOVString out(L"kept");
    EXPECT_FALSE(localization.GetString(0, out));
    EXPECT_FALSE(localization.GetCurLang(out));
    EXPECT_EQ(Text(out), L"kept");

    EXPECT_TRUE(localization.ChangeLangOrEnglish(CJOVString(L"Russian")));
    EXPECT_EQ(TextZero(localization), L"Russian");
    EXPECT_FALSE(localization.ChangeLangOrEnglish(CJOVString(L"Czech")));
    EXPECT_FALSE(localization.GetString(0, out));
    EXPECT_TRUE(IsLoaded(L"russian_only", L"T_Russian.dll"));  // a look-up may still run in it
}

TEST(LocalizationModules, EarlierFilesStayLoadedUntilDestroyed)
{
    {
        CLocalization localization(Folder(L"full"), kPrefix);
        ASSERT_TRUE(localization.ChangeLang(CJOVString(L"English")));
        ASSERT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
        ASSERT_TRUE(localization.ChangeLang(CJOVString(L"English")));
        ASSERT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
        EXPECT_TRUE(IsLoaded(L"full", L"T_English.dll"));
        EXPECT_TRUE(IsLoaded(L"full", L"T_Russian.dll"));
        EXPECT_EQ(TextZero(localization), L"Russian");
    }
    // Each file is held once, however often it was chosen.
    EXPECT_FALSE(IsLoaded(L"full", L"T_English.dll"));
    EXPECT_FALSE(IsLoaded(L"full", L"T_Russian.dll"));
}

TEST(LocalizationModules, LookUpRunningInTheOldFileSurvivesASwitch)
{
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, L"JOVTestLanguageEntered");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"JOVTestLanguageRelease");
    ASSERT_TRUE(entered && release);
    CLocalization localization(Folder(L"full"), kPrefix);
    ASSERT_TRUE(localization.ChangeLang(CJOVString(L"English")));

    CJOVString slow;
    bool slowFound = false;
    std::thread reader([&] { slowFound = localization.GetString(1, slow); });  // waits inside T_English
    ASSERT_EQ(WaitForSingleObject(entered, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(localization.ChangeLang(CJOVString(L"Russian")));
    EXPECT_EQ(TextZero(localization), L"Russian");
    SetEvent(release);  // the reader now returns through T_English's code
    reader.join();
    EXPECT_TRUE(slowFound);
    EXPECT_EQ(Text(slow), L"English");
    CloseHandle(entered);
    CloseHandle(release);
}

TEST(LocalizationCaptions, TextOfTheFileElseTheDefault)
{
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(5)), nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    auto caption = [](HWND window) {
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        return std::wstring(text);
    };

    CLocalization::SetWindowTextW(nullptr, dialog, 0, L"Default");
    EXPECT_EQ(caption(dialog), L"Default");
    CLocalization empty(Folder(L"full"), kPrefix);
    CLocalization::SetWindowTextW(&empty, dialog, 5, 0, L"Nothing loaded");
    EXPECT_EQ(caption(control), L"Nothing loaded");

    CLocalization loaded(Folder(L"full"), kPrefix);
    ASSERT_TRUE(loaded.ChangeLang(CJOVString(L"Russian")));
    CLocalization::SetWindowTextW(&loaded, dialog, 0, L"Default");
    EXPECT_EQ(caption(dialog), L"Russian");
    CLocalization::SetWindowTextW(&loaded, dialog, 5, 0, L"Default");
    EXPECT_EQ(caption(control), L"Russian");
    CLocalization::SetWindowTextW(&loaded, dialog, 5, 77, L"Unknown id");
    EXPECT_EQ(caption(control), L"Unknown id");
    DestroyWindow(dialog);
}

TEST(LocalizationRealFiles, ProgramAndPlugInFiles)
{
    CLocalization program(GetAppDir() + CJOVString(L"Langs"), CJOVString(L"JOV_"));
    ASSERT_TRUE(program.ChangeLang(CJOVString(L"English")));
    CJOVString text;
    ASSERT_TRUE(program.GetString(0, text));
    EXPECT_EQ(Text(text), L"Offline");
    ASSERT_TRUE(program.GetString(200, text));
    EXPECT_EQ(Text(text), L"Choose from palette...");

    CLocalization jabber(GetAppDir() + CJOVString(L"Langs"), CJOVString(L"Jabber_"));
    ASSERT_TRUE(jabber.ChangeLang(CJOVString(L"English")));
    ASSERT_TRUE(jabber.GetString(34, text));
    EXPECT_EQ(Text(text), L"Ignore");
    // New texts are added after the last: past the end, whatever it is.
    CJOVString kept(L"kept");
    EXPECT_FALSE(jabber.GetString(100000, kept));
    EXPECT_FALSE(jabber.GetString(-1, kept));
    EXPECT_EQ(Text(kept), L"kept");
}
