// What the details pages store and send: each own field's meta TLV bytes, the
// codes in the width the account keeps them in, whole texts compared, and an
// untouched page sending nothing; and what a contact's pages show.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "DetailsValues.h"
#include "VerdelResource.h"
#include "icqpages/PluginWorld.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Values kept by width, as the settings store and the model keep them: a
// byte does not read as a word.
class CMapStore : public CDetailsStore {
public:
    bool GetString(const wchar_t* key, CJOVString& out) override
    {
        auto found = strings.find(key);
        if (found == strings.end())
            return false;
        out = CJOVString(found->second.c_str());
        return true;
    }
    bool GetWord(const wchar_t* key, unsigned short& out) override { return Find(words, key, out); }
    bool GetByte(const wchar_t* key, unsigned char& out) override { return Find(bytes, key, out); }
    void SetString(const wchar_t* key, const CJOVString& value) override
    {
        strings[key] = Str(value);
        bytes.erase(key);
        words.erase(key);
    }
    void SetWord(const wchar_t* key, unsigned short value) override
    {
        words[key] = value;
        bytes.erase(key);
    }
    void SetByte(const wchar_t* key, unsigned char value) override
    {
        bytes[key] = value;
        words.erase(key);
    }

    std::map<std::wstring, std::wstring> strings;
    std::map<std::wstring, unsigned short> words;
    std::map<std::wstring, unsigned char> bytes;

private:
    template <class T>
    static bool Find(const std::map<std::wstring, T>& values, const wchar_t* key, T& out)
    {
        auto found = values.find(key);
        if (found == values.end())
            return false;
        out = found->second;
        return true;
    }
};

Bytes ValueOf(const CTLV& tlv)
{
    return Bytes(tlv.GetData(), tlv.GetData() + tlv.GetDataLength());
}

// What the window hands over for a page nobody touched: the loaded texts and
// every list as it was.
DetailsPageValues Untouched(DetailsPage page, CDetailsStore& store)
{
    DetailsPageValues values = LoadOwnDetails(page, store);
    for (auto& code : values.codes)
        code.second = kCodeUnchanged;
    return values;
}

// A user whose every detail is stored, some of them as the pages never show them.
void FillEverything(CMapStore& store)
{
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.kind == kDetailsCode8)
            store.SetByte(field.key, 2);
        else if (field.kind == kDetailsCode16)
            store.SetWord(field.key, 9999);  // in no reference list
        else
            store.SetString(field.key, CJOVString(L"text"));
    }
    store.SetString(L"ICQ: about", CJOVString(std::wstring(300, L'a').c_str()));
    store.SetString(L"ICQ: work zip", CJOVString(L"12345"));
    for (const wchar_t* key : kLanguageKeys)
        store.SetByte(key, 4);
    for (int i = 1; i <= 4; ++i) {
        store.SetWord((L"ICQ: interest" + std::to_wstring(i)).c_str(), static_cast<unsigned short>(100 + i));
        store.SetString((L"ICQ: interest keys" + std::to_wstring(i)).c_str(), CJOVString(L"keys"));
    }
    store.SetWord(L"ICQ: birth year", 2100);  // shown as none
    store.SetByte(L"ICQ: birth month", 1);
    store.SetByte(L"ICQ: birth day", 1);
    store.SetString(L"ICQ: notes", CJOVString(L"note"));
}

const TextTable& Tables(TextTableKind kind)
{
    static std::map<int, TextTable> tables = {
        {kLanguages, {{1, CJOVString(L"Arabic")}, {3, CJOVString(L"Bulgarian")}}},
        {kCountries, {{7, CJOVString(L"Russia")}}},
        {kGenders, {{1, CJOVString(L"Female")}, {2, CJOVString(L"Male")}}},
    };
    return tables[kind];
}

} // namespace

TEST(DetailsValues, AnUntouchedPageStoresAndSendsNothing)
{
    CMapStore store;
    FillEverything(store);
    const CMapStore before = store;
    for (int page = 0; page < kDetailsPageCount; ++page) {
        CTLVCol tlvs;
        SaveOwnDetails(static_cast<DetailsPage>(page), Untouched(static_cast<DetailsPage>(page), store), store, true,
                       tlvs);
        EXPECT_TRUE(tlvs.empty()) << "page " << page << " sent type " << std::hex << tlvs[0].GetType();
    }
    EXPECT_EQ(store.strings, before.strings) << "a long About is compared whole, not cut";
    EXPECT_EQ(store.words, before.words) << "codes no list knows are kept";
    EXPECT_EQ(store.bytes, before.bytes);
}

TEST(DetailsValues, TextFieldsAreMetaStringsInCodePage1251)
{
    CMapStore store;
    store.SetString(L"ICQ: nick name", CJOVString(L"old"));
    DetailsPageValues general = Untouched(kGeneralPage, store);
    general.texts[IDC_D_NICK] = CJOVString(L"\x0412\x0430\x0441\x044F");  // "Vasya" in Cyrillic
    general.texts[IDC_D_EMAIL] = CJOVString(L"a@b.c");
    CTLVCol tlvs;
    SaveOwnDetails(kGeneralPage, general, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 2u);
    EXPECT_EQ(tlvs[0].GetType(), 0x0154);
    EXPECT_EQ(ValueOf(tlvs[0]), (Bytes{0x05, 0x00, 0xC2, 0xE0, 0xF1, 0xFF, 0x00}));
    EXPECT_EQ(tlvs[1].GetType(), 0x015E);
    EXPECT_EQ(ValueOf(tlvs[1]), (Bytes{0x06, 0x00, 'a', '@', 'b', '.', 'c', 0x00, 0x00})) << "and the publish flag";
    EXPECT_EQ(store.strings[L"ICQ: nick name"], L"\x0412\x0430\x0441\x044F");

    // The work zip goes as a number; a long About whole.
    DetailsPageValues work = Untouched(kWorkPage, store);
    work.texts[IDC_D_WORK_ZIP] = CJOVString(L"12345");
    tlvs.clear();
    SaveOwnDetails(kWorkPage, work, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 1u);
    EXPECT_EQ(tlvs[0].GetType(), 0x02BC);
    EXPECT_EQ(ValueOf(tlvs[0]), (Bytes{0x39, 0x30, 0x00, 0x00}));

    const std::wstring about(300, L'b');
    DetailsPageValues aboutPage = Untouched(kAboutPage, store);
    aboutPage.texts[IDC_D_ABOUT] = CJOVString(about.c_str());
    tlvs.clear();
    SaveOwnDetails(kAboutPage, aboutPage, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 1u);
    EXPECT_EQ(tlvs[0].GetType(), 0x0258);
    EXPECT_EQ(tlvs[0].GetDataLength(), 2 + 300 + 1);
    EXPECT_EQ(store.strings[L"ICQ: about"], about);
}

TEST(DetailsValues, CodesKeepTheWidthTheAccountStoresThemIn)
{
    CMapStore store;
    store.SetByte(L"ICQ: gender", 2);
    store.SetWord(L"ICQ: home country code", 9999);
    DetailsPageValues personal = Untouched(kPersonalPage, store);
    EXPECT_EQ(personal.codes[IDC_D_GENDER], kCodeUnchanged);
    personal.codes[IDC_D_GENDER] = 1;
    CTLVCol tlvs;
    SaveOwnDetails(kPersonalPage, personal, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 1u);
    EXPECT_EQ(tlvs[0].GetType(), 0x017C);
    EXPECT_EQ(ValueOf(tlvs[0]), (Bytes{0x01, 0x00}));
    EXPECT_EQ(store.bytes[L"ICQ: gender"], 1);
    EXPECT_EQ(store.words.count(L"ICQ: gender"), 0u);

    // Loaded, the stored code is what the list shows; chosen, the new one is stored.
    EXPECT_EQ(LoadOwnDetails(kHomePage, store).codes[IDC_D_HOME_COUNTRY], 9999);
    DetailsPageValues home = Untouched(kHomePage, store);
    home.codes[IDC_D_HOME_COUNTRY] = 7;
    tlvs.clear();
    SaveOwnDetails(kHomePage, home, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 1u);
    EXPECT_EQ(tlvs[0].GetType(), 0x01A4);
    EXPECT_EQ(ValueOf(tlvs[0]), (Bytes{0x07, 0x00}));
    EXPECT_EQ(store.words[L"ICQ: home country code"], 7);
}

TEST(DetailsValues, ListsOfValuesGoWhole)
{
    CMapStore store;
    store.SetByte(kLanguageKeys[0], 1);
    store.SetByte(kLanguageKeys[1], 2);
    store.SetByte(kLanguageKeys[2], 3);
    DetailsPageValues personal = Untouched(kPersonalPage, store);
    personal.codes[IDC_D_LANGUAGE2] = 5;
    CTLVCol tlvs;
    SaveOwnDetails(kPersonalPage, personal, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 3u) << "the second language alone would land in the first one's place";
    const Bytes languages[3] = {{0x01, 0x00}, {0x05, 0x00}, {0x03, 0x00}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tlvs[i].GetType(), 0x0186);
        EXPECT_EQ(ValueOf(tlvs[i]), languages[i]);
    }
    EXPECT_EQ(store.bytes[kLanguageKeys[1]], 5);

    for (int i = 1; i <= 4; ++i) {
        store.SetWord((L"ICQ: interest" + std::to_wstring(i)).c_str(), static_cast<unsigned short>(100 + i));
        store.SetString((L"ICQ: interest keys" + std::to_wstring(i)).c_str(), CJOVString(L"k"));
    }
    DetailsPageValues interests = Untouched(kInterestsPage, store);
    interests.texts[IDC_D_KEYS3] = CJOVString(L"chess");
    tlvs.clear();
    SaveOwnDetails(kInterestsPage, interests, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tlvs[i].GetType(), 0x01EA);
        Bytes expected = {static_cast<unsigned char>(101 + i), 0x00};
        const std::string keys = i == 2 ? "chess" : "k";
        expected.push_back(static_cast<unsigned char>(keys.size() + 1));
        expected.push_back(0);
        expected.insert(expected.end(), keys.begin(), keys.end());
        expected.push_back(0);
        EXPECT_EQ(ValueOf(tlvs[i]), expected) << "pair " << i + 1;
    }
    EXPECT_EQ(store.strings[L"ICQ: interest keys3"], L"chess");
}

TEST(DetailsValues, TheBirthdayIsSentAndShownOnlyAsADate)
{
    CMapStore store;
    EXPECT_TRUE(ShownBirthday(store).IsNone());
    DetailsPageValues personal = Untouched(kPersonalPage, store);
    personal.birthday = Birthday{1965, 7, 14};
    CTLVCol tlvs;
    SaveOwnDetails(kPersonalPage, personal, store, true, tlvs);
    ASSERT_EQ(tlvs.size(), 1u);
    EXPECT_EQ(tlvs[0].GetType(), 0x023A);
    EXPECT_EQ(ValueOf(tlvs[0]), (Bytes{0xAD, 0x07, 0x07, 0x00, 0x0E, 0x00}));
    EXPECT_EQ(store.words.count(L"ICQ: birth year"), 0u) << "the next details reply stores it";

    store.SetWord(L"ICQ: birth year", 1965);
    store.SetByte(L"ICQ: birth month", 7);
    store.SetByte(L"ICQ: birth day", 14);
    std::map<int, CJOVString> shown = LoadContactDetails(kPersonalPage, store, Tables);
    const std::wstring date = Str(shown[IDC_D_BIRTHDAY]);
    EXPECT_NE(date.find(L"65"), std::wstring::npos) << Str(shown[IDC_D_BIRTHDAY]);
    EXPECT_EQ(date.find(L"70"), std::wstring::npos) << "a date before 1970 is not clamped";

    store.SetWord(L"ICQ: birth year", 2100);
    EXPECT_TRUE(ShownBirthday(store).IsNone());
    EXPECT_EQ(LoadContactDetails(kPersonalPage, store, Tables).count(IDC_D_BIRTHDAY), 0u);
    store.SetWord(L"ICQ: birth year", 1990);
    store.SetByte(L"ICQ: birth month", 0);
    EXPECT_TRUE(ShownBirthday(store).IsNone());
}

TEST(DetailsValues, OfflineOnlyTheLocalNoteIsKept)
{
    CMapStore store;
    DetailsPageValues general = Untouched(kGeneralPage, store);
    general.texts[IDC_D_NICK] = CJOVString(L"nick");
    CTLVCol tlvs;
    SaveOwnDetails(kGeneralPage, general, store, false, tlvs);
    EXPECT_TRUE(tlvs.empty());
    EXPECT_EQ(store.strings.count(L"ICQ: nick name"), 0u);

    DetailsPageValues about = Untouched(kAboutPage, store);
    about.texts[IDC_D_ABOUT] = CJOVString(L"about");
    about.note = CJOVString(std::wstring(2000, L'n').c_str());
    SaveOwnDetails(kAboutPage, about, store, false, tlvs);
    EXPECT_TRUE(tlvs.empty());
    EXPECT_EQ(store.strings.count(L"ICQ: about"), 0u);
    EXPECT_EQ(store.strings[L"ICQ: notes"].size(), static_cast<size_t>(kMaxNoteLength));
}

TEST(DetailsValues, AContactsPagesShowTextsOfItsCodes)
{
    CMapStore store;
    EXPECT_TRUE(LoadContactDetails(kGeneralPage, store, Tables).empty()) << "missing values leave fields empty";
    store.SetByte(kLanguageKeys[0], 0);
    store.SetByte(kLanguageKeys[1], 0);
    store.SetByte(kLanguageKeys[2], 0);
    EXPECT_EQ(LoadContactDetails(kPersonalPage, store, Tables).count(IDC_D_LANGUAGES), 0u);

    store.SetByte(kLanguageKeys[0], 1);
    store.SetByte(kLanguageKeys[1], 9);  // no text
    store.SetByte(kLanguageKeys[2], 3);
    store.SetByte(L"ICQ: gender", 2);
    store.SetWord(L"ICQ: age", 33);
    std::map<int, CJOVString> personal = LoadContactDetails(kPersonalPage, store, Tables);
    EXPECT_EQ(Str(personal[IDC_D_LANGUAGES]), L"Arabic;Bulgarian");
    EXPECT_EQ(Str(personal[IDC_D_GENDER]), L"Male");
    EXPECT_EQ(Str(personal[IDC_D_AGE]), L"33");

    store.SetWord(L"ICQ: home country code", 7);
    store.SetWord(L"ICQ: work country code", 9999);
    EXPECT_EQ(Str(LoadContactDetails(kHomePage, store, Tables)[IDC_D_HOME_COUNTRY]), L"Russia");
    EXPECT_EQ(Str(LoadContactDetails(kWorkPage, store, Tables)[IDC_D_WORK_COUNTRY]), L"");

    SaveContactNote(CJOVString(L"met at work"), store);
    EXPECT_EQ(Str(LoadContactDetails(kAboutPage, store, Tables)[IDC_D_NOTE]), L"met at work");
}
