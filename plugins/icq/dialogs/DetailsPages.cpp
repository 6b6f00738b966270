// The nine details pages of the own-details dialog and the nine of the
// contact-details dialog: their controls. What they show and store is
// DetailsValues'. The own fields are read-only while the account is offline,
// where a change would only be overwritten by the next details reply.
// UI thread.
#include <windows.h>
#include <commctrl.h>

#include "AccountLink.h"
#include "AccountRequests.h"
#include "DetailsValues.h"
#include "EventArgData.h"
#include "OptionsPages.h"
#include "PageControls.h"
#include "PluginPages.h"
#include "VerdelResource.h"
#include "cl/ContactList.h"

namespace {

struct PageCaption {
    int textId;
    const wchar_t* english;
};

const PageCaption kCaptions[kDetailsPageCount] = {
    {59, L"General"},  {60, L"Home"},  {61, L"Work"},          {62, L"Company"}, {63, L"Phones"},
    {64, L"Personal"}, {65, L"Originally from"}, {66, L"Interests"}, {67, L"About"},
};

bool IsCode(const DetailsField& field)
{
    return field.kind == kDetailsCode8 || field.kind == kDetailsCode16;
}

void SetLabels(HWND window, DetailsPage page, bool contact)
{
    for (const DetailsLabel& label : GetDetailsLabels()) {
        if (label.page == page && (contact || !label.contactOnly))
            SetLabel(window, label.control, label.textId, label.english);
    }
}

// The lists of the own page, and the table each shows.
std::vector<std::pair<int, TextTableKind>> OwnLists(DetailsPage page)
{
    std::vector<std::pair<int, TextTableKind>> lists;
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.page == page && IsCode(field))
            lists.push_back({field.control, field.table});
    }
    if (page == kPersonalPage) {
        for (int control : kLanguageControls)
            lists.push_back({control, kLanguages});
    } else if (page == kInterestsPage) {
        for (int control : kInterestControls)
            lists.push_back({control, kInterests});
    }
    return lists;
}

// The own page's text fields the user may edit.
std::vector<int> OwnEdits(DetailsPage page)
{
    std::vector<int> edits;
    for (const DetailsField& field : GetDetailsFields()) {
        if (field.page == page && !IsCode(field) && field.kind != kDetailsReadOnly)
            edits.push_back(field.control);
    }
    if (page == kInterestsPage)
        edits.insert(edits.end(), std::begin(kInterestKeyControls), std::end(kInterestKeyControls));
    return edits;
}

bool IsOnline(unsigned int accountId)
{
    return AccountStatus(accountId) > Protocols::StatusConnecting;
}

void SetBirthday(HWND window, const Birthday& date)
{
    HWND picker = GetDlgItem(window, IDC_D_BIRTHDAY);
    SYSTEMTIME day = {};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    if (date.IsNone() || !SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day)))
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
}

Birthday GetBirthday(HWND window)
{
    SYSTEMTIME day = {};
    Birthday date;
    if (SendDlgItemMessageW(window, IDC_D_BIRTHDAY, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&day)) ==
        GDT_VALID) {
        date.year = day.wYear;
        date.month = day.wMonth;
        date.day = day.wDay;
    }
    return date;
}

void LoadOwnPage(DetailsPage page, HWND window, unsigned int accountId)
{
    SetLabels(window, page, false);
    for (const auto& list : OwnLists(page))
        FillReferenceCombo(window, list.first, GetTextTable(list.second));
    CAccountDetailsStore store(PluginAccountSettings(), accountId);
    DetailsPageValues values = LoadOwnDetails(page, store);
    for (const auto& text : values.texts)
        SetControlText(window, text.first, text.second);
    for (const auto& code : values.codes)
        SelectCode(window, code.first, code.second);
    if (page == kPersonalPage)
        SetBirthday(window, values.birthday);
    if (page == kAboutPage) {
        SendDlgItemMessageW(window, IDC_D_NOTE, EM_LIMITTEXT, kMaxNoteLength, 0);
        SetControlText(window, IDC_D_NOTE, values.note);
    }
    const bool editable = IsOnline(accountId);
    for (int control : OwnEdits(page))
        SetEditable(window, control, editable);
    for (const auto& list : OwnLists(page))
        SetEditable(window, list.first, editable);
    if (page == kPersonalPage)
        SetEditable(window, IDC_D_BIRTHDAY, editable);
}

void SaveOwnPage(DetailsPage page, HWND window, unsigned int accountId)
{
    DetailsPageValues values;
    for (int control : OwnEdits(page))
        values.texts[control] = ControlText(window, control);
    for (const auto& list : OwnLists(page))
        values.codes[list.first] = ChosenCode(window, list.first);
    if (page == kPersonalPage)
        values.birthday = GetBirthday(window);
    if (page == kAboutPage)
        values.note = ControlText(window, IDC_D_NOTE);
    CAccountDetailsStore store(PluginAccountSettings(), accountId);
    CTLVCol tlvs;
    SaveOwnDetails(page, values, store, IsOnline(accountId), tlvs);
    if (!tlvs.empty())
        PostAccountRequest(accountId, ICQ_EVENT_SET_OWN_DETAILS, new CEventArg_Data<CTLVCol>(tlvs));
}

template <DetailsPage Page>
PanelCheckResult OwnDetailsPageProc(HWND window, int direction, unsigned int accountId)
{
    if (direction == 0)
        LoadOwnPage(Page, window, accountId);
    else
        SaveOwnPage(Page, window, accountId);
    return PanelCheckResult();
}

template <DetailsPage Page>
PanelCheckResult ContactDetailsPageProc(HWND window, int direction, unsigned int contactId)
{
    CL::CContactList* list = PluginContactList();
    if (direction == 0)
        SetLabels(window, Page, true);
    if (!list)
        return PanelCheckResult();
    CContactDetailsStore store(*list, contactId);
    if (direction == 0) {
        if (Page == kAboutPage)
            SendDlgItemMessageW(window, IDC_D_NOTE, EM_LIMITTEXT, kMaxNoteLength, 0);
        for (const auto& text : LoadContactDetails(Page, store))
            SetControlText(window, text.first, text.second);
    } else if (Page == kAboutPage) {
        SaveContactNote(ControlText(window, IDC_D_NOTE), store);
    }
    return PanelCheckResult();
}

const PanelDataExchangeProc kOwnProcs[kDetailsPageCount] = {
    OwnDetailsPageProc<kGeneralPage>,  OwnDetailsPageProc<kHomePage>,   OwnDetailsPageProc<kWorkPage>,
    OwnDetailsPageProc<kCompanyPage>,  OwnDetailsPageProc<kPhonesPage>, OwnDetailsPageProc<kPersonalPage>,
    OwnDetailsPageProc<kOriginPage>,   OwnDetailsPageProc<kInterestsPage>, OwnDetailsPageProc<kAboutPage>,
};

const PanelDataExchangeProc kContactProcs[kDetailsPageCount] = {
    ContactDetailsPageProc<kGeneralPage>,   ContactDetailsPageProc<kHomePage>,
    ContactDetailsPageProc<kWorkPage>,      ContactDetailsPageProc<kCompanyPage>,
    ContactDetailsPageProc<kPhonesPage>,    ContactDetailsPageProc<kPersonalPage>,
    ContactDetailsPageProc<kOriginPage>,    ContactDetailsPageProc<kInterestsPage>,
    ContactDetailsPageProc<kAboutPage>,
};

} // namespace

void AppendOwnDetailsPages(CJOVArray<CPanelInfo>& pages)
{
    for (int i = 0; i < kDetailsPageCount; ++i)
        pages.Append(MakePluginPage(kCaptions[i].textId, kCaptions[i].english, IDD_OWN_GENERAL + i, kOwnProcs[i]));
}

void AppendContactDetailsPages(CJOVArray<CPanelInfo>& pages)
{
    for (int i = 0; i < kDetailsPageCount; ++i)
        pages.Append(
            MakePluginPage(kCaptions[i].textId, kCaptions[i].english, IDD_CONTACT_GENERAL + i, kContactProcs[i]));
}
