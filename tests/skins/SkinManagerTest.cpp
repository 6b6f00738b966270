// The skin manager: colours and their fall-backs, settings, the images of the
// skin and of the plug-ins (from several threads), the background, the
// language switch and the smilies notices.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cstring>
#include <thread>

#include "EventArgData.h"
#include "EventNames.h"
#include "common/RecordingClient.h"
#include "core/settings/NamedValueMap.h"
#include "core/skins/SkinColors.h"
#include "core/skins/SkinFolders.h"
#include "core/skins/SkinImages.h"
#include "skins/SkinManagerFixture.h"

using Skins::CSkinManagerImpl;
using Skins::SkinChoice;

namespace {

std::vector<COLORREF> ColoursOf(const COLORREF* colours)
{
    return std::vector<COLORREF>(colours, colours + Skins::kColourCount);
}

std::vector<COLORREF> Defaults()
{
    return ColoursOf(Skins::kDefaultColours);
}

BOOL Parse(const std::string& text, COLORREF* colours)
{
    return Skins::ParseColours(reinterpret_cast<const unsigned char*>(text.data()), text.size(), colours);
}

// The colour the image leaves at the middle of a 4x4 canvas.
COLORREF DrawnColour(Skins::CSkinManager& skins, unsigned int id, BOOL* answer = nullptr)
{
    CCanvas canvas(4, 4);
    CJOVDrawContext dc(canvas.Dc());
    BOOL drawn = skins.DrawImage(id, &dc, 0, 0, 4, 4, true, 255);
    if (answer)
        *answer = drawn;
    return canvas.Pixel(2, 2);
}

std::vector<std::wstring> Names(CJOVArray<const wchar_t*>& list)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list[i]);
    Skins::FreeNameList(list);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SkinColours, TheColourFile)
{
    COLORREF colours[Skins::kColourCount] = {};
    const std::vector<COLORREF> numbered = NumberedColours(0xABCD00);
    EXPECT_TRUE(Parse(ColoursFile(numbered), colours));
    EXPECT_EQ(ColoursOf(colours), numbered);
    EXPECT_TRUE(Parse("[TarselColors]\r\n=0000FF", colours) == FALSE);
    EXPECT_EQ(colours[0], 0x0000FFu) << "values read before a failure stay; 0000FF is red";

    // 20 values fail; the 22nd is ignored; any text may stand between values.
    EXPECT_FALSE(Parse(ColoursFile(NumberedColours(1, 20)), colours));
    std::vector<COLORREF> more = NumberedColours(0x300000, 22);
    EXPECT_TRUE(Parse(ColoursFile(more), colours));
    EXPECT_EQ(colours[20], 0x300014u);
    std::string loose = "[TarselColors]\r\n";
    for (int i = 0; i < 21; ++i)
        loose += "anything at all =00000" + std::to_string(i % 10) + (i % 2 ? ";" : "\n");
    EXPECT_TRUE(Parse(loose, colours));
    EXPECT_EQ(colours[13], 3u);

    // The header is compared byte by byte; a value must be six hexadecimal digits.
    EXPECT_FALSE(Parse("[TarselColors]\n" + ColoursFile(numbered).substr(16), colours));
    std::string bad = ColoursFile(numbered);
    bad[bad.find('=') + 3] = 'g';
    EXPECT_FALSE(Parse(bad, colours));
    EXPECT_FALSE(Parse("[TarselColors]\r\nA=12", colours));
    EXPECT_FALSE(Skins::ReadColoursFile(CJOVString(L"Z:\\no\\such\\icolors.ini"), colours));
}

TEST_F(SkinManagerTest, AFreshStartTakesTheDefaultsAndTheDefaultSkinsFile)
{
    auto skins = Make();
    SkinChoice choice = skins->GetSkinChoice();
    EXPECT_EQ(W(choice.skin), L"JOV PDA skin");
    EXPECT_EQ(W(choice.smilies), L"JOV PDA smilies");
    EXPECT_FALSE(choice.textSmilies);
    EXPECT_EQ(choice.smiliesNumber, 10);
    EXPECT_EQ(W(choice.language), L"English");
    EXPECT_EQ(ColoursOf(skins->GetColors()), NumberedColours(kDefaultBase));
    EXPECT_EQ(skins->GetImageCount(), 59);
    EXPECT_EQ(bus->GetService(GUID_SkinManager), static_cast<Skins::CSkinManager*>(skins.get()));
    skins.reset();
    EXPECT_EQ(bus->GetService(GUID_SkinManager), nullptr);

    // Without a settings store too.
    CSkinManagerImpl alone(nullptr, nullptr, tree.RootString());
    EXPECT_EQ(ColoursOf(alone.GetColors()), NumberedColours(kDefaultBase));
}

TEST_F(SkinManagerTest, TheChoiceIsSavedAndReadBack)
{
    {
        auto skins = Make();
        SkinChoice choice = skins->GetSkinChoice();
        choice.skin = CJOVString(L"Blue");
        choice.smilies = CJOVString(L"Other");
        choice.textSmilies = TRUE;
        choice.smiliesNumber = 250;  // kept within 0-99
        choice.language = CJOVString(L"Russian");
        skins->ApplySettings(choice);
        EXPECT_EQ(ColoursOf(skins->GetColors()), NumberedColours(kBlueBase));
    }
    unsigned char text = 0;
    unsigned int number = 0;
    CJOVString skin, smilies, language;
    ASSERT_TRUE(store->GetString(GUID_SkinManager, CJOVString(L"Skin"), &skin));
    ASSERT_TRUE(store->GetString(GUID_SkinManager, CJOVString(L"Smailes"), &smilies));
    ASSERT_TRUE(store->GetByte(GUID_SkinManager, CJOVString(L"Text Smailes"), &text));
    ASSERT_TRUE(store->GetDWord(GUID_SkinManager, CJOVString(L"Smailes Num"), &number));
    ASSERT_TRUE(store->GetString(GUID_SkinManager, CJOVString(L"Lang"), &language));
    EXPECT_EQ(W(skin), L"Blue");
    EXPECT_EQ(W(smilies), L"Other");
    EXPECT_EQ(text, 1);
    EXPECT_EQ(number, 99u);
    EXPECT_EQ(W(language), L"Russian");

    // "Skins": entries "0", "1"... each a map of "SN" and "SP" (21 little-endian colours).
    unsigned size = 0;
    ASSERT_TRUE(store->GetValueSize(GUID_SkinManager, CJOVString(L"Skins"), &size));
    std::vector<unsigned char> bytes(size);
    ASSERT_TRUE(store->GetData(GUID_SkinManager, CJOVString(L"Skins"), bytes.data(), &size));
    NamedValueMap entries;
    entries.Unpack(bytes.data(), size);
    ASSERT_EQ(entries.GetCount(), 2);
    std::vector<std::wstring> stored;
    for (const wchar_t* index : {L"0", L"1"}) {
        NamedValueMap fields;
        const NamedValue* entry = entries.Find(CJOVString(index));
        ASSERT_NE(entry, nullptr);
        fields.Unpack(entry->GetData(), entry->GetSize());
        stored.push_back(W(fields.Find(CJOVString(L"SN"))->AsString()));
        const NamedValue* colours = fields.Find(CJOVString(L"SP"));
        ASSERT_EQ(colours->GetSize(), 84u);
        if (stored.back() == L"Blue") {
            EXPECT_EQ(colours->GetData()[0] | colours->GetData()[2] << 16, 0x200000);
        }
    }
    EXPECT_EQ(stored, (std::vector<std::wstring>{L"JOV PDA skin", L"Blue"}));

    // Read back: stored colours win over the file's.
    COLORREF edited[Skins::kColourCount];
    {
        ReopenStore();
        auto skins = Make();
        SkinChoice choice = skins->GetSkinChoice();
        EXPECT_EQ(W(choice.skin), L"Blue");
        EXPECT_TRUE(choice.textSmilies);
        EXPECT_EQ(choice.smiliesNumber, 99);
        EXPECT_EQ(W(choice.language), L"Russian");
        ASSERT_TRUE(skins->GetSkinColors(CJOVString(L"Blue"), edited));
        edited[5] = 0x123456;
        EXPECT_TRUE(skins->SetSkinColors(CJOVString(L"Blue"), edited));
        EXPECT_EQ(skins->GetColors()[5], 0x123456u) << "the current skin's colours change at once";
    }
    ReopenStore();
    auto skins = Make();
    EXPECT_EQ(ColoursOf(skins->GetColors()), std::vector<COLORREF>(edited, edited + Skins::kColourCount));
}

TEST_F(SkinManagerTest, FallBackChainOfTheCurrentSkin)
{
    CJOVString gone(L"Gone");
    store->SetString(GUID_SkinManager, CJOVString(L"Skin"), &gone);
    {
        auto skins = Make();
        EXPECT_EQ(W(skins->GetSkinChoice().skin), L"JOV PDA skin") << "a missing skin falls back to the default";
        EXPECT_EQ(ColoursOf(skins->GetColors()), NumberedColours(kDefaultBase));
        EXPECT_EQ(skins->GetSkinCount(), 1);
    }
    // The default skin's file broken too, and nothing stored: the built-in colours.
    tree.Write(SkinFile(L"JOV PDA skin", L"icolors.ini"), std::string("[TarselColors]\r\n=000001"));
    FreshStore();
    store->SetString(GUID_SkinManager, CJOVString(L"Skin"), &gone);
    {
        auto skins = Make();
        EXPECT_EQ(W(skins->GetSkinChoice().skin), L"JOV PDA skin");
        EXPECT_EQ(ColoursOf(skins->GetColors()), Defaults());
    }
    // Choosing a skin with no valid file at run time goes the same way.
    auto skins = Make();
    SkinChoice choice = skins->GetSkinChoice();
    choice.skin = CJOVString(L"Nowhere");
    skins->ApplySettings(choice);
    EXPECT_EQ(W(skins->GetSkinChoice().skin), L"JOV PDA skin");
    EXPECT_NE(skins->GetColors(), nullptr);
}

TEST_F(SkinManagerTest, StoredSkinsWithoutFolderOrColoursAreForgotten)
{
    Skin(L"Later gone", 0x300000, false);
    Skin(L"Bad colours", 0x400000, false);
    {
        auto skins = Make();
        COLORREF colours[Skins::kColourCount];
        for (const wchar_t* name : {L"Later gone", L"Bad colours", L"Blue"}) {
            ASSERT_TRUE(skins->GetSkinColors(CJOVString(name), colours)) << "read from the file";
            skins->SetSkinColors(CJOVString(name), colours);
        }
        EXPECT_EQ(skins->GetSkinCount(), 4);
    }
    tree.Remove(L"Skins\\Later gone");
    // A stored record with colours of the wrong size is read from the file instead;
    // a broken file then drops it.
    tree.Write(SkinFile(L"Bad colours", L"icolors.ini"), std::string("nothing"));
    {
        ReopenStore();
        unsigned size = 0;
        store->GetValueSize(GUID_SkinManager, CJOVString(L"Skins"), &size);
        std::vector<unsigned char> bytes(size);
        store->GetData(GUID_SkinManager, CJOVString(L"Skins"), bytes.data(), &size);
        NamedValueMap entries, rebuilt;
        entries.Unpack(bytes.data(), size);
        for (int i = 0; i < entries.GetCount(); ++i) {
            NamedValueMap fields;
            fields.Unpack(entries.GetAt(i)->GetData(), entries.GetAt(i)->GetSize());
            NamedValueMap shortened;
            shortened.Set(*fields.Find(CJOVString(L"SN")));
            shortened.Set(NamedValue(CJOVString(L"SP"), fields.Find(CJOVString(L"SP"))->GetData(), 80));
            std::vector<unsigned char> packed(shortened.GetPackedSize());
            shortened.Pack(packed.data(), static_cast<unsigned>(packed.size()));
            rebuilt.Set(NamedValue(entries.GetAt(i)->GetName(), packed.data(), static_cast<unsigned>(packed.size())));
        }
        std::vector<unsigned char> packed(rebuilt.GetPackedSize());
        rebuilt.Pack(packed.data(), static_cast<unsigned>(packed.size()));
        unsigned packedSize = static_cast<unsigned>(packed.size());
        store->SetData(GUID_SkinManager, CJOVString(L"Skins"), packed.data(), &packedSize);
    }
    auto skins = Make();
    EXPECT_EQ(skins->GetSkinCount(), 2) << "the default skin and Blue stay";
    COLORREF colours[Skins::kColourCount];
    EXPECT_TRUE(skins->GetSkinColors(CJOVString(L"Blue"), colours));
    EXPECT_EQ(colours[0], kBlueBase) << "read again from its file";
    EXPECT_FALSE(skins->GetSkinColors(CJOVString(L"Later gone"), colours));
}

TEST_F(SkinManagerTest, SkinImagesComeFromTheCurrentSkin)
{
    auto skins = Make();
    BOOL answer = FALSE;
    EXPECT_EQ(DrawnColour(*skins, Skins::kImageStatusOnline, &answer), RGB(0x10, 0, 0));
    EXPECT_TRUE(answer);
    // A missing file draws nothing, yet the id is good.
    EXPECT_EQ(DrawnColour(*skins, Skins::kImageMenuFind, &answer), RGB(255, 255, 255));
    EXPECT_TRUE(answer);
    EXPECT_EQ(DrawnColour(*skins, 59, &answer), RGB(255, 255, 255));
    EXPECT_FALSE(answer) << "no such id";

    SkinChoice choice = skins->GetSkinChoice();
    choice.skin = CJOVString(L"Blue");
    skins->ApplySettings(choice);
    EXPECT_EQ(DrawnColour(*skins, Skins::kImageStatusOnline), RGB(0x20, 0, 0)) << "loaded again from the new skin";

    // Released, a skin image is loaded again at the next draw.
    tree.Write(SkinFile(L"Blue", L"jov_status_online.png"), MakeSolidPng(2, 2, RGB(0, 0x30, 0)));
    EXPECT_EQ(DrawnColour(*skins, Skins::kImageStatusOnline), RGB(0x20, 0, 0)) << "still the loaded picture";
    skins->ReleaseImage(Skins::kImageStatusOnline);
    EXPECT_EQ(DrawnColour(*skins, Skins::kImageStatusOnline), RGB(0, 0x30, 0));
    skins->ReleaseImage(5000);  // ignored
}

TEST_F(SkinManagerTest, PluginImagesAreCountedAndLoadedFromThePluginsFolder)
{
    StartProtocols();
    tree.Write(L"Protos\\Verdel\\icq_proto.png", MakeSolidPng(2, 2, RGB(0, 0x40, 0)));
    auto skins = Make();
    const JOV_GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(skins->AddImage(unknown, CJOVString(L"icq_proto.png")), -1);

    const int id = skins->AddImage(GUID_ICQProtocol, CJOVString(L"icq_proto.png"));
    EXPECT_EQ(id, 59);
    EXPECT_EQ(skins->AddImage(GUID_ICQProtocol, CJOVString(L"icq_proto.png")), id);
    EXPECT_EQ(skins->AddImage(GUID_ICQProtocol, CJOVString(L"icq_other.png")), 60);
    // The protocol is "ICQ", its folder "Verdel": the file is found beside the library.
    EXPECT_EQ(DrawnColour(*skins, id), RGB(0, 0x40, 0));

    tree.Write(L"Protos\\Verdel\\icq_proto.png", MakeSolidPng(2, 2, RGB(0, 0, 0x50)));
    skins->ReleaseImage(id);
    EXPECT_EQ(DrawnColour(*skins, id), RGB(0, 0x40, 0)) << "one use is left";
    skins->ReleaseImage(id);
    skins->ReleaseImage(id);  // never below 0
    EXPECT_EQ(DrawnColour(*skins, id), RGB(0, 0, 0x50)) << "freed, then loaded again";
    // Two uses again: had the extra release counted, one release would free it.
    EXPECT_EQ(skins->AddImage(GUID_ICQProtocol, CJOVString(L"icq_proto.png")), id) << "the same id again";
    EXPECT_EQ(skins->AddImage(GUID_ICQProtocol, CJOVString(L"icq_proto.png")), id);
    skins->ReleaseImage(id);
    tree.Write(L"Protos\\Verdel\\icq_proto.png", MakeSolidPng(2, 2, RGB(0, 0, 0x60)));
    EXPECT_EQ(DrawnColour(*skins, id), RGB(0, 0, 0x50)) << "still in use: not loaded again";
    EXPECT_EQ(skins->GetImageCount(), 61);
}

TEST_F(SkinManagerTest, TheIcqPluginRegistersItsImagesThroughTheBus)
{
    StartProtocols();
    tree.Write(L"Protos\\Verdel\\icq_status_online.png", MakeSolidPng(2, 2, RGB(0, 0x70, 0)));
    auto skins = Make();
    const unsigned int account = protocols->AddAccount(GUID_ICQProtocol);
    ASSERT_NE(account, 0u);
    CJOVArray<unsigned int> images;
    ASSERT_TRUE(protocols->GetImages(account, &images));
    ASSERT_EQ(images.Count(), 73);
    EXPECT_EQ(images[0], 59u);
    EXPECT_EQ(images[72], 59u + 72);
    EXPECT_EQ(DrawnColour(*skins, images[5]), RGB(0, 0x70, 0));

    // Freeing the plug-in gives its images back: the next draw loads again.
    tree.Write(L"Protos\\Verdel\\icq_status_online.png", MakeSolidPng(2, 2, RGB(0, 0, 0x70)));
    protocols.reset();
    EXPECT_EQ(DrawnColour(*skins, images[5]), RGB(0, 0, 0x70));
}

TEST_F(SkinManagerTest, ImagesAddedAndDrawnFromSeveralThreads)
{
    StartProtocols();
    for (int i = 0; i < 8; ++i)
        tree.Write(L"Protos\\Verdel\\t" + std::to_wstring(i) + L".png", MakeSolidPng(3, 3, RGB(i * 20, 100, 0)));
    auto skins = Make();
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 40; ++round) {
                const int file = (t + round) % 8;
                const std::wstring name = L"t" + std::to_wstring(file) + L".png";
                const int id = skins->AddImage(GUID_ICQProtocol, CJOVString(name.c_str()));
                if (DrawnColour(*skins, static_cast<unsigned int>(id)) != RGB(file * 20, 100, 0))
                    ++wrong;
                if (DrawnColour(*skins, Skins::kImageStatusOnline) != RGB(0x10, 0, 0))
                    ++wrong;
                skins->ReleaseImage(static_cast<unsigned int>(id));
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(skins->GetImageCount(), 59 + 8) << "one record a file";
}

TEST_F(SkinManagerTest, BackgroundBrushAndBitmap)
{
    auto skins = Make();
    EXPECT_EQ(skins->GetBackgroundBrush(1), GetStockObject(NULL_BRUSH));
    HBRUSH brush = skins->GetBackgroundBrush(0);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(skins->GetBackgroundBrush(0), brush) << "made once";
    {
        CCanvas canvas(4, 4);
        RECT all = {0, 0, 4, 4};
        FillRect(canvas.Dc(), &all, brush);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(2, 2), RGB(255, 0, 0)) << "the 2x2 check tiles";
    }

    // A new skin gets a new brush; the old one stays usable until the manager ends.
    tree.Write(SkinFile(L"Blue", L"jov_mw_background.png"), MakeSolidPng(2, 2, RGB(0, 200, 0)));
    SkinChoice choice = skins->GetSkinChoice();
    choice.skin = CJOVString(L"Blue");
    skins->ApplySettings(choice);
    HBRUSH blue = skins->GetBackgroundBrush(0);
    EXPECT_NE(blue, brush);
    LOGBRUSH old = {};
    EXPECT_NE(GetObjectW(brush, sizeof(old), &old), 0);
    {
        CCanvas canvas(2, 2);
        RECT all = {0, 0, 2, 2};
        FillRect(canvas.Dc(), &all, blue);
        EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 200, 0));
    }

    HWND window = CreateWindowExW(0, L"SkinsTestMessageWindow", L"", WS_POPUP, 10, 20, 30, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HBITMAP bitmap = skins->CreateBackgroundBitmap(0, window);
    ASSERT_NE(bitmap, nullptr);
    BITMAP shape = {};
    GetObjectW(bitmap, sizeof(shape), &shape);
    EXPECT_EQ(shape.bmWidth, 30);
    EXPECT_EQ(shape.bmHeight, 40);
    DeleteObject(bitmap);
    EXPECT_EQ(skins->CreateBackgroundBitmap(1, window), nullptr);
    DestroyWindow(window);
}

TEST_F(SkinManagerTest, TheLanguageSwitchesAtOnceAndTellsTheOthers)
{
    std::mutex lock;
    std::vector<std::wstring> heard;
    CRecordingClient listener([&](const CJOVString&, CEventArg* arg1, CEventArg*) {
        if (auto* language = dynamic_cast<CEventArg_Data<CJOVString>*>(arg1)) {
            std::lock_guard<std::mutex> hold(lock);
            heard.push_back(W(language->m_data));
        }
        return 0;
    });
    auto heardSoFar = [&] {
        std::lock_guard<std::mutex> hold(lock);
        return heard;
    };
    const unsigned int client = bus->RegisterEventsClient(&listener, CJOVString(L"listener"));
    host.eventId = bus->DeclareEvent(GUID_GUI, CJOVString(EVENT_LanChanged));
    ASSERT_NE(bus->Subscribe(GUID_GUI, CJOVString(EVENT_LanChanged), client), 0u);
    auto skins = Make();
    CJOVString text;
    ASSERT_TRUE(skins->GetString(2, text));
    EXPECT_EQ(W(text), L"Online");

    SkinChoice choice = skins->GetSkinChoice();
    skins->ApplySettings(choice);  // the same again: nothing
    choice.language = CJOVString(L"Klingon");
    skins->ApplySettings(choice);  // no such file: nothing changes
    EXPECT_EQ(W(skins->GetLanguageName()), L"English");
    choice.language = CJOVString(L"Russian");
    skins->ApplySettings(choice);
    EXPECT_EQ(W(skins->GetLanguageName()), L"Russian");
    ASSERT_TRUE(skins->GetString(2, text));
    EXPECT_NE(W(text), L"Online") << "the Russian file's own text";
    for (int wait = 0; wait < 200 && heardSoFar().empty(); ++wait)
        Sleep(25);
    Sleep(100);  // nothing more comes
    EXPECT_EQ(heardSoFar(), (std::vector<std::wstring>{L"Russian"}));
    bus->UnregisterEventsClient(client);

    CJOVArray<const wchar_t*> languages;
    tree.Write(L"Langs\\Verdel_English.dll", std::string("x"));
    tree.Write(L"Langs\\JOV_.dll", std::string("x"));
    ASSERT_TRUE(Skins::ListLanguages(languages, tree.RootString()));
    EXPECT_EQ(Names(languages), (std::vector<std::wstring>{L"English", L"Russian"}));
    CTempTree empty;
    EXPECT_FALSE(Skins::ListLanguages(languages, empty.RootString()));
}

TEST_F(SkinManagerTest, AStoredLanguageWithoutItsFileFallsBackAndIsSavedSo)
{
    CJOVString czech(L"Czech");
    store->SetString(GUID_SkinManager, CJOVString(L"Lang"), &czech);
    Make().reset();
    CJOVString language;
    store->GetString(GUID_SkinManager, CJOVString(L"Lang"), &language);
    EXPECT_EQ(W(language), L"English");
}

TEST_F(SkinManagerTest, SmiliesSetChangesAreToldToTheMessagingWindow)
{
    for (const wchar_t* set : {L"JOV PDA smilies", L"Other"}) {
        tree.Write(std::wstring(L"Smilies\\") + set + L"\\_define.ini", std::string(":-)\n"));
        CGifWriter gif(1, 1);
        gif.GlobalTable(1, {RGB(1, 2, 3), 0});
        gif.Image(CGifWriter::At(0, 0, 1, 1), {0});
        tree.Write(std::wstring(L"Smilies\\") + set + L"\\a.gif", gif.Finish());
    }
    auto skins = Make();
    ASSERT_NE(skins->GetSmilies(), nullptr);
    EXPECT_EQ(skins->GetSmilies()->Count(), 1);
    SkinChoice choice = skins->GetSkinChoice();

    auto apply = [&](const wchar_t* set, BOOL text) {
        host.notices.clear();
        choice.smilies = CJOVString(set);
        choice.textSmilies = text;
        skins->ApplySettings(choice);
        return host.notices;
    };
    EXPECT_EQ(apply(L"JOV PDA smilies", FALSE), std::vector<int>{}) << "nothing changed";
    EXPECT_EQ(apply(L"Other", FALSE), (std::vector<int>{-1, 0, 1})) << "stop, drop pictures, take the new set";
    EXPECT_EQ(W(skins->GetSmilies()->GetName()), L"Other");
    EXPECT_EQ(apply(L"Other", TRUE), (std::vector<int>{-1, 0, 1})) << "to text: pictures dropped, text shown";
    EXPECT_EQ(skins->GetSmilies()->Count(), 0);
    EXPECT_EQ(apply(L"JOV PDA smilies", TRUE), std::vector<int>{}) << "text to text: the name only";
    EXPECT_EQ(W(skins->GetSkinChoice().smilies), L"JOV PDA smilies");
    EXPECT_EQ(apply(L"JOV PDA smilies", FALSE), (std::vector<int>{1})) << "from text: nothing to stop";
    EXPECT_EQ(skins->GetSmilies()->Count(), 1);
    EXPECT_FALSE(skins->GetSkinChoice().textSmilies);

    CJOVArray<const wchar_t*> sets;
    tree.MakeFolder(L"Smilies\\Without definition");
    ASSERT_TRUE(Skins::ListSmiliesPacks(sets, tree.RootString()));
    EXPECT_EQ(Names(sets), (std::vector<std::wstring>{L"JOV PDA smilies", L"Other"}));
    CJOVArray<const wchar_t*> skinFolders;
    tree.MakeFolder(L"Skins\\No colours");
    ASSERT_TRUE(Skins::ListSkins(skinFolders, tree.RootString()));
    EXPECT_EQ(Names(skinFolders), (std::vector<std::wstring>{L"Blue", L"JOV PDA skin"}));
    CTempTree empty;
    EXPECT_FALSE(Skins::ListSkins(skinFolders, empty.RootString()));
}

TEST_F(SkinManagerTest, TheStartingSmiliesSetFallsBackToTheDefault)
{
    tree.Write(L"Smilies\\JOV PDA smilies\\_define.ini", std::string(":-)\n"));
    CGifWriter gif(1, 1);
    gif.GlobalTable(1, {RGB(1, 2, 3), 0});
    gif.Image(CGifWriter::At(0, 0, 1, 1), {0});
    tree.Write(L"Smilies\\JOV PDA smilies\\a.gif", gif.Finish());
    CJOVString gone(L"Gone");
    store->SetString(GUID_SkinManager, CJOVString(L"Smailes"), &gone);
    {
        auto skins = Make();
        EXPECT_EQ(W(skins->GetSkinChoice().smilies), L"JOV PDA smilies");
        EXPECT_EQ(skins->GetSmilies()->Count(), 1);
    }
    // No default set either: an empty set, and the name stays.
    tree.Remove(L"Smilies\\JOV PDA smilies");
    store->SetString(GUID_SkinManager, CJOVString(L"Smailes"), &gone);
    auto skins = Make();
    EXPECT_EQ(W(skins->GetSkinChoice().smilies), L"Gone");
    EXPECT_EQ(skins->GetSmilies()->Count(), 0);
}
