// The details pages' values apart from their windows: which key each control
// shows, how a page's stored values become the controls' values, and how the
// values of an own page become settings and the meta TLVs that tell the
// server. Coded values are compared and stored in the width the account
// stores them in (gender, marital status and languages as bytes).
#pragma once

#include <map>
#include <vector>

#include "DetailsStore.h"
#include "TLV.h"
#include "packets/TextTable.h"

enum DetailsPage {
    kGeneralPage,
    kHomePage,
    kWorkPage,
    kCompanyPage,
    kPhonesPage,
    kPersonalPage,
    kOriginPage,
    kInterestsPage,
    kAboutPage,
    kDetailsPageCount
};

enum DetailsFieldKind {
    kDetailsText,     // meta string
    kDetailsEmail,    // meta string and the publish flag
    kDetailsZip,      // stored as text, sent as a 32-bit number
    kDetailsCode8,    // a reference code stored as a byte, sent as a word
    kDetailsCode16,   // a reference code stored and sent as a word
    kDetailsReadOnly  // shown, never sent
};

// One plain field: languages, interests, the birthday, the age and the note
// are the pages' own (below).
struct DetailsField {
    DetailsPage page;
    int control;
    const wchar_t* key;
    DetailsFieldKind kind;
    TextTableKind table;  // codes only
    unsigned short tlv;   // 0: not sent
};

struct DetailsLabel {
    DetailsPage page;
    int control;
    int textId;
    const wchar_t* english;
    bool contactOnly;
};

const std::vector<DetailsField>& GetDetailsFields();
const std::vector<DetailsLabel>& GetDetailsLabels();

// The three language lists, the four interest pairs (category list, keywords).
extern const int kLanguageControls[3];
extern const wchar_t* const kLanguageKeys[3];
extern const int kInterestControls[4];
extern const int kInterestKeyControls[4];

// A user's details keep the note local, up to this many characters.
const int kMaxNoteLength = 1023;

// Year, month and day; all 0 for none.
struct Birthday {
    int year = 0;
    int month = 0;
    int day = 0;
    bool IsNone() const { return year == 0 && month == 0 && day == 0; }
    bool operator==(const Birthday& other) const
    {
        return year == other.year && month == other.month && day == other.day;
    }
};
// The stored birthday as the pages show it: none unless the three values
// exist and make a date of the years 1 to 2099.
Birthday ShownBirthday(CDetailsStore& store);

// The chosen code of a list the user left as it was loaded.
const int kCodeUnchanged = -1;

struct DetailsPageValues {
    std::map<int, CJOVString> texts;  // by control; on load only the stored ones
    std::map<int, int> codes;         // by control; load: the stored code, -1 when none
    Birthday birthday;
    CJOVString note;
};

DetailsPageValues LoadOwnDetails(DetailsPage page, CDetailsStore& store);
// Stores what differs from the stored values and appends, in the page's
// order, the TLVs that tell the server. ownFields false (the account is
// offline) keeps only the note, the one local value.
void SaveOwnDetails(DetailsPage page, const DetailsPageValues& values, CDetailsStore& store, bool ownFields,
                    CTLVCol& tlvs);

typedef const TextTable& (*TextTableSource)(TextTableKind kind);
// The read-only texts of a contact's page, by control; a missing value has no entry.
std::map<int, CJOVString> LoadContactDetails(DetailsPage page, CDetailsStore& store,
                                             TextTableSource tables = GetTextTable);
void SaveContactNote(const CJOVString& note, CDetailsStore& store);

// A date as the program's short date form shows it; any year.
CJOVString ShortDateText(const Birthday& date);

// Meta TLV values: a string is its length + 1 (16-bit little-endian), its
// bytes in code page 1251 and a 0; publishFlag adds one more 0 byte.
CTLV MetaTextTlv(unsigned short type, const CJOVString& text, bool publishFlag = false);
CTLV MetaWordTlv(unsigned short type, unsigned short value);
