// The tree items on their own: order of siblings, heights, grid cells,
// hit-testing and the last visible row.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "HiDpi.h"
#include "contactlist/AccountItem.h"
#include "contactlist/ContactItem.h"
#include "contactlist/GroupItem.h"
#include "contactlist/StatusItem.h"

namespace {

std::wstring Name(CTreeItem* item)
{
    const CJOVString& name = static_cast<CContactItem*>(item)->GetName();
    return std::wstring(name.Data(), name.GetLength());
}

class TreeItemsTest : public ::testing::Test {
protected:
    CContactItem* NewContact(const wchar_t* name, int status = 0, bool unread = false, unsigned int id = 0)
    {
        auto* contact = new CContactItem(id ? id : ++m_nextId, 1, CJOVString(name), &m_accountStyle);
        Protocols::ContactStatusInfo info;
        info.status = static_cast<Protocols::Status>(status);
        contact->SetStatusInfo(info);
        contact->SetUnread(unread);
        return contact;
    }

    std::vector<std::wstring> Order(CTreeItem* parent)
    {
        std::vector<std::wstring> names;
        for (CTreeItem* item = parent->GetFirstChild(); item; item = item->GetNext())
            names.push_back(Name(item));
        return names;
    }

    static int Row() { return HIDPI_ScaleY(kBranchRowUnits); }
    static int ContactRow() { return HIDPI_ScaleY(kContactRowUnits); }

    unsigned int m_nextId = 0x80000000u;
    AccountBranchStyle m_accountStyle;
    BranchStyle m_groupStyle;
    CGroupItem m_group{5, CJOVString(L"Friends"), &m_groupStyle, nullptr};
};

TEST_F(TreeItemsTest, ContactsSortUnreadThenOnlineThenOfflineEachByName)
{
    m_group.AddChild(NewContact(L"bob", 0));
    m_group.AddChild(NewContact(L"Alice", 2));
    m_group.AddChild(NewContact(L"carol", 0, true));
    EXPECT_EQ(Order(&m_group), (std::vector<std::wstring>{L"carol", L"Alice", L"bob"}));

    // Connecting is placed by name alone, against online and offline alike.
    m_group.AddChild(NewContact(L"Zed", 11));
    m_group.AddChild(NewContact(L"Bea", 1));
    EXPECT_EQ(Order(&m_group), (std::vector<std::wstring>{L"carol", L"Alice", L"Bea", L"Zed", L"bob"}));
}

TEST_F(TreeItemsTest, EqualNamesKeepTheOrderOfArrival)
{
    CContactItem* first = NewContact(L"Anna");
    CContactItem* second = NewContact(L"ANNA");
    m_group.AddChild(first);
    m_group.AddChild(NewContact(L"anna-maria"));
    m_group.AddChild(second);
    EXPECT_EQ(m_group.GetFirstChild(), first);
    EXPECT_EQ(first->GetNext(), second);
    EXPECT_EQ(CompareNamesNoCase(CJOVString(L"Anna"), CJOVString(L"aNNA")), 0);
    EXPECT_LT(CompareNamesNoCase(CJOVString(L"ann"), CJOVString(L"Anna")), 0);
}

// Names are compared as _wcsicmp does: each character through the runtime's
// towlower, ASCII and beyond alike.
TEST(CompareNamesTest, FoldsCaseAsTheRuntimeDoes)
{
    const wchar_t samples[] = {L'@', L'A', L'M', L'Z', L'[', L'_', L'`', L'a', L'z', L'{', L'0',
                               0x00C4, 0x00E4, 0x0130, 0x0410, 0x0430, 0x212A, 0xFF21, 0xFF41};
    for (wchar_t x : samples) {
        for (wchar_t y : samples) {
            const wint_t fx = std::towlower(x), fy = std::towlower(y);
            const int expected = fx == fy ? 0 : fx < fy ? -1 : 1;
            EXPECT_EQ(CompareNamesNoCase(CJOVString(std::wstring(1, x).c_str()), CJOVString(std::wstring(1, y).c_str())),
                      expected)
                << std::hex << static_cast<unsigned>(x) << " " << static_cast<unsigned>(y);
        }
    }
    EXPECT_LT(CompareNamesNoCase(CJOVString(L"Zed"), CJOVString(L"zed_")), 0);
    EXPECT_GT(CompareNamesNoCase(CJOVString(L"Zed"), CJOVString(L"[ed")), 0);
}

TEST_F(TreeItemsTest, GroupsKeepArrivalOrderWithThePseudoGroupLast)
{
    CAccountItem account(1, CJOVString(L"me"), m_accountStyle, nullptr);
    auto* notInList = new CGroupItem(0, CJOVString(L"Not in list"), &m_groupStyle, nullptr);
    auto* work = new CGroupItem(9, CJOVString(L"Work"), &m_groupStyle, nullptr);
    auto* family = new CGroupItem(3, CJOVString(L"Family"), &m_groupStyle, nullptr);
    account.AddChild(notInList);
    account.AddChild(work);
    account.AddChild(family);
    EXPECT_EQ(account.GetFirstChild(), work);
    EXPECT_EQ(work->GetNext(), family);
    EXPECT_EQ(family->GetNext(), notInList);
    EXPECT_EQ(notInList->GetNext(), nullptr);
    EXPECT_EQ(family->GetPrevious(), work);
    EXPECT_EQ(family->GetParent(), &account);
}

TEST_F(TreeItemsTest, RemovingLinksNeighboursAndRefusesStrangers)
{
    CContactItem* a = NewContact(L"a");
    CContactItem* b = NewContact(L"b");
    CContactItem* c = NewContact(L"c");
    m_group.AddChild(a);
    m_group.AddChild(b);
    m_group.AddChild(c);
    CContactItem stranger(1, 1, CJOVString(L"x"), &m_accountStyle);
    EXPECT_EQ(m_group.RemoveChild(&stranger), 0);
    EXPECT_EQ(m_group.GetChildCount(), 3u);

    EXPECT_EQ(m_group.RemoveChild(b), 1);
    EXPECT_EQ(a->GetNext(), c);
    EXPECT_EQ(c->GetPrevious(), a);
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_EQ(b->GetNext(), nullptr);
    EXPECT_EQ(m_group.RemoveChild(b), 0);
    delete b;
    EXPECT_EQ(m_group.RemoveChild(a), 1);
    EXPECT_EQ(m_group.GetFirstChild(), c);
    delete a;
}

TEST_F(TreeItemsTest, AListArrivingInOrderGoesOnAtTheEndWithOneComparisonEach)
{
    const unsigned long before = CContactItem::GetCompareCount();
    const wchar_t* const names[] = {L"Contact 0001", L"Contact 0002", L"contact 0003", L"Contact 0004"};
    for (const wchar_t* name : names)
        m_group.AddChild(NewContact(name));
    EXPECT_EQ(CContactItem::GetCompareCount() - before, 3u);
    EXPECT_EQ(Order(&m_group), (std::vector<std::wstring>{L"Contact 0001", L"Contact 0002", L"contact 0003",
                                                           L"Contact 0004"}));

    // The last one gone, the one before it is last; an early newcomer still walks.
    CTreeItem* last = m_group.GetFirstChild()->GetNext()->GetNext()->GetNext();
    EXPECT_EQ(m_group.RemoveChild(last), 1);
    delete last;
    m_group.AddChild(NewContact(L"Contact 0005"));
    m_group.AddChild(NewContact(L"Contact 0000"));
    m_group.AddChild(NewContact(L"contact 0003"));  // after its equal
    EXPECT_EQ(Order(&m_group), (std::vector<std::wstring>{L"Contact 0000", L"Contact 0001", L"Contact 0002",
                                                           L"contact 0003", L"contact 0003", L"Contact 0005"}));
    while (CTreeItem* first = m_group.GetFirstChild()) {
        m_group.RemoveChild(first);
        delete first;
    }
    m_group.AddChild(NewContact(L"b"));
    m_group.AddChild(NewContact(L"a"));
    EXPECT_EQ(Order(&m_group), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST_F(TreeItemsTest, GroupHeightCountsStartedRowsOfVisibleContacts)
{
    m_groupStyle.columns = 2;
    m_accountStyle.columns = 2;
    EXPECT_EQ(static_cast<int>(m_group.GetHeight()), Row());
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"})
        m_group.AddChild(NewContact(name));
    EXPECT_EQ(static_cast<int>(m_group.GetHeight()), Row() + 3 * ContactRow());

    for (CTreeItem* item = m_group.GetFirstChild(); item; item = item->GetNext())
        item->SetVisible(false);
    EXPECT_EQ(static_cast<int>(m_group.GetHeight()), Row());

    m_group.GetFirstChild()->SetVisible(true);
    m_group.SetOpenFlag(false);
    EXPECT_EQ(static_cast<int>(m_group.GetHeight()), Row());
}

TEST_F(TreeItemsTest, SectionHeightCountsHiddenContactsToo)
{
    CStatusItem section(1, &m_groupStyle, nullptr);
    m_groupStyle.columns = 3;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        section.AddChild(NewContact(name));
    section.GetFirstChild()->SetVisible(false);
    EXPECT_EQ(static_cast<int>(section.GetHeight()), Row() + 2 * ContactRow());
}

TEST_F(TreeItemsTest, ContactCellsAndHitTestsFollowTheGrid)
{
    m_groupStyle.columns = 2;
    m_accountStyle.columns = 2;
    CAccountItem account(1, CJOVString(L"me"), m_accountStyle, nullptr);
    auto* other = new CGroupItem(4, CJOVString(L"Other"), &m_groupStyle, nullptr);
    auto* group = new CGroupItem(5, CJOVString(L"Friends"), &m_groupStyle, nullptr);
    account.AddChild(other);
    account.AddChild(group);
    other->AddChild(NewContact(L"x"));
    std::vector<CContactItem*> contacts;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) {
        contacts.push_back(NewContact(name));
        group->AddChild(contacts.back());
    }
    const int groupTop = Row() + Row() + ContactRow();
    RECT rect = {};
    group->GetItemRect(&rect);
    EXPECT_EQ(rect.top, groupTop);
    EXPECT_EQ(rect.bottom, groupTop + Row() + 3 * ContactRow());
    contacts[3]->GetItemRect(&rect);
    EXPECT_EQ(rect.top, groupTop + Row() + ContactRow());
    EXPECT_EQ(rect.bottom - rect.top, ContactRow());

    const int width = 200;
    const int y = groupTop + Row() + 2 * ContactRow() + 1;  // the row of "e"
    EXPECT_EQ(account.HitTest(10, y, width), contacts[4]);
    // Right of the incomplete last row: nothing.
    EXPECT_EQ(account.HitTest(150, y, width), nullptr);
    EXPECT_EQ(account.HitTest(150, groupTop + Row() + 1, width), contacts[1]);
    EXPECT_EQ(account.HitTest(150, groupTop + 1, width), group);
    EXPECT_EQ(account.HitTest(0, 0, width), &account);

    // A hidden contact frees its cell for the next one.
    contacts[0]->SetVisible(false);
    EXPECT_EQ(account.HitTest(10, groupTop + Row() + 1, width), contacts[1]);
}

TEST_F(TreeItemsTest, LastVisibleRowSkipsHiddenChildrenAndClosedBranches)
{
    CAccountItem account(1, CJOVString(L"me"), m_accountStyle, nullptr);
    auto* group = new CGroupItem(5, CJOVString(L"Friends"), &m_groupStyle, nullptr);
    account.AddChild(group);
    EXPECT_EQ(account.GetLastVisible(), group);
    CContactItem* a = NewContact(L"a");
    CContactItem* b = NewContact(L"b");
    group->AddChild(a);
    group->AddChild(b);
    EXPECT_EQ(account.GetLastVisible(), b);
    b->SetVisible(false);
    EXPECT_EQ(account.GetLastVisible(), a);
    a->SetVisible(false);
    EXPECT_EQ(group->GetLastVisible(), group);
    a->SetVisible(true);
    account.SetOpenFlag(false);
    EXPECT_EQ(account.GetLastVisible(), &account);
}

TEST_F(TreeItemsTest, ClicksToggleBranchesAndContactsAnswerWithoutChange)
{
    EXPECT_EQ(m_group.OnClick(), 1);
    EXPECT_FALSE(m_group.IsOpen());
    EXPECT_EQ(m_group.OnClick(), 1);
    EXPECT_TRUE(m_group.IsOpen());
    CContactItem* contact = NewContact(L"a");
    EXPECT_EQ(contact->OnClick(), 1);
    // No control: opening the chat does nothing.
    EXPECT_EQ(contact->OnEnter(), 0);
    delete contact;
}

} // namespace
