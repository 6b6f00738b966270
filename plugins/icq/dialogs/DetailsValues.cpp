#include "DetailsValues.h"

#include <windows.h>

#include <cstring>
#include <ctime>
#include <cwchar>
#include <string>

#include "VerdelResource.h"

namespace {

const wchar_t kBirthYear[] = L"ICQ: birth year";
const wchar_t kBirthMonth[] = L"ICQ: birth month";
const wchar_t kBirthDay[] = L"ICQ: birth day";
const wchar_t kAge[] = L"ICQ: age";
const wchar_t kNotes[] = L"ICQ: notes";
const wchar_t* const kInterestKeys[4] = {L"ICQ: interest1", L"ICQ: interest2", L"ICQ: interest3",
                                         L"ICQ: interest4"};
const wchar_t* const kInterestTextKeys[4] = {L"ICQ: interest keys1", L"ICQ: interest keys2",
                                             L"ICQ: interest keys3", L"ICQ: interest keys4"};
const unsigned short kLanguageTlv = 0x0186;
const unsigned short kInterestTlv = 0x01EA;
const unsigned short kBirthdayTlv = 0x023A;

void PutWord(std::vector<unsigned char>& bytes, unsigned int value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

// A meta string: length + 1, the bytes in code page 1251, a 0.
void PutMetaText(std::vector<unsigned char>& bytes, const CJOVString& text)
{
    size_t length = 0;
    unsigned char* encoded = text.GetLength() ? text.GetBuffer(1251) : nullptr;
    if (encoded)
        length = strlen(reinterpret_cast<const char*>(encoded));
    if (length > 0xFFFE)
        length = 0xFFFE;
    PutWord(bytes, static_cast<unsigned int>(length + 1));
    bytes.insert(bytes.end(), encoded, encoded + length);
    bytes.push_back(0);
    if (encoded)
        CJOVString::FreeBuffer(encoded);
}

CTLV MakeTlv(unsigned short type, const std::vector<unsigned char>& value)
{
    return CTLV(type, static_cast<unsigned short>(value.size()), value.data());
}

CJOVString StoredText(CDetailsStore& store, const wchar_t* key)
{
    CJOVString text;
    store.GetString(key, text);
    return text;
}

int StoredCode(CDetailsStore& store, const wchar_t* key, bool byteWide)
{
    if (byteWide) {
        unsigned char value = 0;
        return store.GetByte(key, value) ? value : -1;
    }
    unsigned short value = 0;
    return store.GetWord(key, value) ? value : -1;
}

void StoreCode(CDetailsStore& store, const wchar_t* key, bool byteWide, int code)
{
    if (byteWide)
        store.SetByte(key, static_cast<unsigned char>(code));
    else
        store.SetWord(key, static_cast<unsigned short>(code));
}

// The code the user chose: the stored one when the list was left alone, so
// that a stored code the reference list lacks survives a save.
int ChosenCode(const DetailsPageValues& values, int control, int stored)
{
    auto found = values.codes.find(control);
    if (found == values.codes.end() || found->second == kCodeUnchanged)
        return stored < 0 ? 0 : stored;
    return found->second;
}

CJOVString TextOf(const DetailsPageValues& values, int control)
{
    auto found = values.texts.find(control);
    return found == values.texts.end() ? CJOVString() : found->second;
}

// The whole text is compared: a long stored text (an "About" from the
// server) must not count as changed and go back cut.
void SaveText(const DetailsField& field, const DetailsPageValues& values, CDetailsStore& store, CTLVCol& tlvs)
{
    const CJOVString text = TextOf(values, field.control);
    if (text == StoredText(store, field.key))
        return;
    store.SetString(field.key, text);
    if (field.kind == kDetailsZip) {
        std::vector<unsigned char> number;
        const unsigned long zip = static_cast<unsigned long>(_wtol(text.GetLength() ? text.Data() : L"0"));
        PutWord(number, zip & 0xFFFF);
        PutWord(number, zip >> 16);
        tlvs.push_back(MakeTlv(field.tlv, number));
    } else {
        tlvs.push_back(MetaTextTlv(field.tlv, text, field.kind == kDetailsEmail));
    }
}

void SaveCode(const DetailsField& field, const DetailsPageValues& values, CDetailsStore& store, CTLVCol& tlvs)
{
    const bool byteWide = field.kind == kDetailsCode8;
    const int stored = StoredCode(store, field.key, byteWide);
    const int chosen = ChosenCode(values, field.control, stored);
    if (chosen == (stored < 0 ? 0 : stored))
        return;
    StoreCode(store, field.key, byteWide, chosen);
    tlvs.push_back(MetaWordTlv(field.tlv, static_cast<unsigned short>(chosen)));
}

void SaveBirthday(const DetailsPageValues& values, CDetailsStore& store, CTLVCol& tlvs)
{
    // Compared with what the page showed: a stored date the page shows as
    // none is not a change. The settings get the date from the next reply.
    if (values.birthday == ShownBirthday(store))
        return;
    std::vector<unsigned char> date;
    PutWord(date, static_cast<unsigned int>(values.birthday.year));
    PutWord(date, static_cast<unsigned int>(values.birthday.month));
    PutWord(date, static_cast<unsigned int>(values.birthday.day));
    tlvs.push_back(MakeTlv(kBirthdayTlv, date));
}

// The server takes the languages as a list: one that changed sends all three,
// so that the second never lands in the first one's place.
void SaveLanguages(const DetailsPageValues& values, CDetailsStore& store, CTLVCol& tlvs)
{
    int stored[3], chosen[3];
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        stored[i] = StoredCode(store, kLanguageKeys[i], true);
        chosen[i] = ChosenCode(values, kLanguageControls[i], stored[i]);
        changed = changed || chosen[i] != (stored[i] < 0 ? 0 : stored[i]);
    }
    if (!changed)
        return;
    for (int i = 0; i < 3; ++i) {
        store.SetByte(kLanguageKeys[i], static_cast<unsigned char>(chosen[i]));
        tlvs.push_back(MetaWordTlv(kLanguageTlv, static_cast<unsigned short>(chosen[i])));
    }
}

void SaveInterests(const DetailsPageValues& values, CDetailsStore& store, CTLVCol& tlvs)
{
    int chosen[4];
    CJOVString keys[4];
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        const int stored = StoredCode(store, kInterestKeys[i], false);
        chosen[i] = ChosenCode(values, kInterestControls[i], stored);
        keys[i] = TextOf(values, kInterestKeyControls[i]);
        changed = changed || chosen[i] != (stored < 0 ? 0 : stored) ||
                  keys[i] != StoredText(store, kInterestTextKeys[i]);
    }
    if (!changed)
        return;
    for (int i = 0; i < 4; ++i) {
        store.SetWord(kInterestKeys[i], static_cast<unsigned short>(chosen[i]));
        store.SetString(kInterestTextKeys[i], keys[i]);
        std::vector<unsigned char> pair;
        PutWord(pair, static_cast<unsigned int>(chosen[i]));
        PutMetaText(pair, keys[i]);
        tlvs.push_back(MakeTlv(kInterestTlv, pair));
    }
}

CJOVString Decimal(unsigned int value)
{
    return CJOVString(std::to_wstring(value).c_str());
}

} // namespace

const int kLanguageControls[3] = {IDC_D_LANGUAGE1, IDC_D_LANGUAGE2, IDC_D_LANGUAGE3};
const wchar_t* const kLanguageKeys[3] = {L"ICQ: spoken language1", L"ICQ: spoken language2",
                                         L"ICQ: spoken language3"};
const int kInterestControls[4] = {IDC_D_INTEREST1, IDC_D_INTEREST2, IDC_D_INTEREST3, IDC_D_INTEREST4};
const int kInterestKeyControls[4] = {IDC_D_KEYS1, IDC_D_KEYS2, IDC_D_KEYS3, IDC_D_KEYS4};

const std::vector<DetailsField>& GetDetailsFields()
{
    static const std::vector<DetailsField> fields = {
        {kGeneralPage, IDC_D_ACCOUNT, L"Account name", kDetailsReadOnly, kCountries, 0},
        {kGeneralPage, IDC_D_NICK, L"ICQ: nick name", kDetailsText, kCountries, 0x0154},
        {kGeneralPage, IDC_D_FIRST, L"ICQ: first name", kDetailsText, kCountries, 0x0140},
        {kGeneralPage, IDC_D_LAST, L"ICQ: last name", kDetailsText, kCountries, 0x014A},
        {kGeneralPage, IDC_D_EMAIL, L"ICQ: e-mail", kDetailsEmail, kCountries, 0x015E},
        {kHomePage, IDC_D_HOME_COUNTRY, L"ICQ: home country code", kDetailsCode16, kCountries, 0x01A4},
        {kHomePage, IDC_D_HOME_CITY, L"ICQ: home city", kDetailsText, kCountries, 0x0190},
        {kHomePage, IDC_D_HOME_STATE, L"ICQ: home state", kDetailsText, kCountries, 0x019A},
        {kHomePage, IDC_D_HOME_ZIP, L"ICQ: home zip", kDetailsText, kCountries, 0x026C},
        {kHomePage, IDC_D_HOME_STREET, L"ICQ: home address", kDetailsText, kCountries, 0x0262},
        {kWorkPage, IDC_D_WORK_COUNTRY, L"ICQ: work country code", kDetailsCode16, kCountries, 0x02B2},
        {kWorkPage, IDC_D_WORK_CITY, L"ICQ: work city", kDetailsText, kCountries, 0x029E},
        {kWorkPage, IDC_D_WORK_STATE, L"ICQ: work state", kDetailsText, kCountries, 0x02A8},
        {kWorkPage, IDC_D_WORK_ZIP, L"ICQ: work zip", kDetailsZip, kCountries, 0x02BC},
        {kWorkPage, IDC_D_WORK_STREET, L"ICQ: work address", kDetailsText, kCountries, 0x0294},
        {kCompanyPage, IDC_D_COMPANY, L"ICQ: work company", kDetailsText, kCountries, 0x01AE},
        {kCompanyPage, IDC_D_DEPARTMENT, L"ICQ: work department", kDetailsText, kCountries, 0x01B8},
        {kCompanyPage, IDC_D_OCCUPATION, L"ICQ: work ocupation code", kDetailsCode16, kOccupations, 0x01CC},
        {kCompanyPage, IDC_D_POSITION, L"ICQ: work position", kDetailsText, kCountries, 0x01C2},
        {kCompanyPage, IDC_D_WEBPAGE, L"ICQ: work webpage", kDetailsText, kCountries, 0x02DA},
        {kPhonesPage, IDC_D_HOME_PHONE, L"ICQ: home phone", kDetailsText, kCountries, 0x0276},
        {kPhonesPage, IDC_D_HOME_FAX, L"ICQ: home fax", kDetailsText, kCountries, 0x0280},
        {kPhonesPage, IDC_D_CELL_PHONE, L"ICQ: cell phone", kDetailsText, kCountries, 0x028A},
        {kPhonesPage, IDC_D_WORK_PHONE, L"ICQ: work phone", kDetailsText, kCountries, 0x02C6},
        {kPhonesPage, IDC_D_WORK_FAX, L"ICQ: work fax", kDetailsText, kCountries, 0x02D0},
        {kPersonalPage, IDC_D_GENDER, L"ICQ: gender", kDetailsCode8, kGenders, 0x017C},
        {kPersonalPage, IDC_D_MARITAL, L"ICQ: marital status code", kDetailsCode8, kMaritalStatuses, 0x033E},
        {kPersonalPage, IDC_D_HOMEPAGE, L"ICQ: homepage", kDetailsText, kCountries, 0x0213},
        {kOriginPage, IDC_D_ORIGIN_COUNTRY, L"ICQ: country code", kDetailsCode16, kCountries, 0x0334},
        {kOriginPage, IDC_D_ORIGIN_CITY, L"ICQ: city", kDetailsText, kCountries, 0x0320},
        {kOriginPage, IDC_D_ORIGIN_STATE, L"ICQ: state", kDetailsText, kCountries, 0x032A},
        {kAboutPage, IDC_D_ABOUT, L"ICQ: about", kDetailsText, kCountries, 0x0258},
    };
    return fields;
}

const std::vector<DetailsLabel>& GetDetailsLabels()
{
    static const std::vector<DetailsLabel> labels = {
        {kGeneralPage, IDC_L_ACCOUNT, 68, L"Account name", false},
        {kGeneralPage, IDC_L_NICK, 69, L"Display name", false},
        {kGeneralPage, IDC_L_FIRST, 70, L"First name", false},
        {kGeneralPage, IDC_L_LAST, 71, L"Last name", false},
        {kGeneralPage, IDC_L_EMAIL, 72, L"Email", false},
        {kHomePage, IDC_L_HOME_COUNTRY, 73, L"Country", false},
        {kHomePage, IDC_L_HOME_CITY, 74, L"City", false},
        {kHomePage, IDC_L_HOME_STATE, 75, L"State", false},
        {kHomePage, IDC_L_HOME_ZIP, 76, L"Zip", false},
        {kHomePage, IDC_L_HOME_STREET, 77, L"Street", false},
        {kWorkPage, IDC_L_WORK_COUNTRY, 73, L"Country", false},
        {kWorkPage, IDC_L_WORK_CITY, 74, L"City", false},
        {kWorkPage, IDC_L_WORK_STATE, 75, L"State", false},
        {kWorkPage, IDC_L_WORK_ZIP, 76, L"Zip", false},
        {kWorkPage, IDC_L_WORK_STREET, 77, L"Street", false},
        {kCompanyPage, IDC_L_COMPANY, 78, L"Company name", false},
        {kCompanyPage, IDC_L_DEPARTMENT, 79, L"Div/dept", false},
        {kCompanyPage, IDC_L_OCCUPATION, 80, L"Occupation", false},
        {kCompanyPage, IDC_L_POSITION, 81, L"Position", false},
        {kCompanyPage, IDC_L_WEBPAGE, 82, L"Web site", false},
        {kPhonesPage, IDC_L_HOME_PHONE, 83, L"Home phone", false},
        {kPhonesPage, IDC_L_HOME_FAX, 84, L"Home fax", false},
        {kPhonesPage, IDC_L_CELL_PHONE, 85, L"Cellular", false},
        {kPhonesPage, IDC_L_WORK_PHONE, 86, L"Work phone", false},
        {kPhonesPage, IDC_L_WORK_FAX, 87, L"Work fax", false},
        {kPersonalPage, IDC_L_GENDER, 88, L"Gender", false},
        {kPersonalPage, IDC_L_AGE, 89, L"Age", true},
        {kPersonalPage, IDC_L_MARITAL, 90, L"Marital status", false},
        {kPersonalPage, IDC_L_HOMEPAGE, 91, L"Home page", false},
        {kPersonalPage, IDC_L_BIRTHDAY, 92, L"Birthday", false},
        {kPersonalPage, IDC_L_LANGUAGES, 93, L"Languages", false},
        {kOriginPage, IDC_L_ORIGIN_COUNTRY, 73, L"Country", false},
        {kOriginPage, IDC_L_ORIGIN_CITY, 74, L"City", false},
        {kOriginPage, IDC_L_ORIGIN_STATE, 75, L"State", false},
        {kAboutPage, IDC_L_ABOUT, 94, L"About", false},
        {kAboutPage, IDC_L_NOTE, 95, L"Note on user", false},
    };
    return labels;
}

Birthday ShownBirthday(CDetailsStore& store)
{
    unsigned short year = 0;
    unsigned char month = 0, day = 0;
    Birthday shown;
    if (!store.GetWord(kBirthYear, year) || !store.GetByte(kBirthMonth, month) || !store.GetByte(kBirthDay, day))
        return shown;
    if (year < 1 || year > 2099 || month < 1 || month > 12 || day < 1 || day > 31)
        return shown;
    shown.year = year;
    shown.month = month;
    shown.day = day;
    return shown;
}

DetailsPageValues LoadOwnDetails(DetailsPage page, CDetailsStore& store)
{
    DetailsPageValues values;
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.page != page)
            continue;
        if (field.kind == kDetailsCode8 || field.kind == kDetailsCode16) {
            values.codes[field.control] = StoredCode(store, field.key, field.kind == kDetailsCode8);
        } else {
            CJOVString text;
            if (store.GetString(field.key, text))
                values.texts[field.control] = text;
        }
    }
    if (page == kPersonalPage) {
        values.birthday = ShownBirthday(store);
        for (int i = 0; i < 3; ++i)
            values.codes[kLanguageControls[i]] = StoredCode(store, kLanguageKeys[i], true);
    } else if (page == kInterestsPage) {
        for (int i = 0; i < 4; ++i) {
            values.codes[kInterestControls[i]] = StoredCode(store, kInterestKeys[i], false);
            CJOVString keys;
            if (store.GetString(kInterestTextKeys[i], keys))
                values.texts[kInterestKeyControls[i]] = keys;
        }
    } else if (page == kAboutPage) {
        store.GetString(kNotes, values.note);
    }
    return values;
}

void SaveOwnDetails(DetailsPage page, const DetailsPageValues& values, CDetailsStore& store, bool ownFields,
                    CTLVCol& tlvs)
{
    if (page == kAboutPage) {
        CJOVString note = values.note;
        if (note.GetLength() > kMaxNoteLength)
            note = note.Substring(0, kMaxNoteLength);
        store.SetString(kNotes, note);
    }
    // Offline a change would only be overwritten by the next reply.
    if (!ownFields)
        return;
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.page != page || field.kind == kDetailsReadOnly)
            continue;
        if (field.kind == kDetailsCode8 || field.kind == kDetailsCode16)
            SaveCode(field, values, store, tlvs);
        else
            SaveText(field, values, store, tlvs);
        // The Personal page's own fields follow its home page, in the table's order.
        if (field.control == IDC_D_HOMEPAGE) {
            SaveBirthday(values, store, tlvs);
            SaveLanguages(values, store, tlvs);
        }
    }
    if (page == kInterestsPage)
        SaveInterests(values, store, tlvs);
}

std::map<int, CJOVString> LoadContactDetails(DetailsPage page, CDetailsStore& store, TextTableSource tables)
{
    std::map<int, CJOVString> texts;
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.page != page)
            continue;
        if (field.kind == kDetailsCode8 || field.kind == kDetailsCode16) {
            const int code = StoredCode(store, field.key, field.kind == kDetailsCode8);
            if (code >= 0)
                texts[field.control] = FindText(tables(field.table), code);
        } else {
            CJOVString text;
            if (store.GetString(field.key, text))
                texts[field.control] = text;
        }
    }
    if (page == kPersonalPage) {
        unsigned short age = 0;
        if (store.GetWord(kAge, age))
            texts[IDC_D_AGE] = Decimal(age);
        Birthday birthday = ShownBirthday(store);
        if (!birthday.IsNone())
            texts[IDC_D_BIRTHDAY] = ShortDateText(birthday);
        int codes[3];
        bool any = false;
        for (int i = 0; i < 3; ++i) {
            codes[i] = StoredCode(store, kLanguageKeys[i], true);
            any = any || codes[i] > 0;
        }
        if (any) {
            CJOVString joined;
            for (int i = 0; i < 3; ++i) {
                CJOVString text = codes[i] > 0 ? FindText(tables(kLanguages), codes[i]) : CJOVString();
                if (text.GetLength() == 0)
                    continue;
                if (joined.GetLength() > 0)
                    joined += CJOVString(L";");
                joined += text;
            }
            texts[IDC_D_LANGUAGES] = joined;
        }
    } else if (page == kInterestsPage) {
        for (int i = 0; i < 4; ++i) {
            const int code = StoredCode(store, kInterestKeys[i], false);
            if (code >= 0)
                texts[kInterestControls[i]] = FindText(tables(kInterests), code);
            CJOVString keys;
            if (store.GetString(kInterestTextKeys[i], keys))
                texts[kInterestKeyControls[i]] = keys;
        }
    } else if (page == kAboutPage) {
        CJOVString note;
        if (store.GetString(kNotes, note))
            texts[IDC_D_NOTE] = note;
    }
    return texts;
}

void SaveContactNote(const CJOVString& note, CDetailsStore& store)
{
    store.SetString(kNotes, note.GetLength() > kMaxNoteLength ? note.Substring(0, kMaxNoteLength) : note);
}

CJOVString ShortDateText(const Birthday& date)
{
    // Formatted from its fields: a time value would clamp dates before 1970.
    struct tm day = {};
    day.tm_year = date.year - 1900;
    day.tm_mon = date.month - 1;
    day.tm_mday = date.day;
    wchar_t text[64];
    if (std::wcsftime(text, 64, L"%x", &day) == 0)
        return CJOVString();
    return CJOVString(text);
}

CTLV MetaTextTlv(unsigned short type, const CJOVString& text, bool publishFlag)
{
    std::vector<unsigned char> value;
    PutMetaText(value, text);
    if (publishFlag)
        value.push_back(0);
    return MakeTlv(type, value);
}

CTLV MetaWordTlv(unsigned short type, unsigned short value)
{
    std::vector<unsigned char> bytes;
    PutWord(bytes, value);
    return MakeTlv(type, bytes);
}
