// How the rows look: sections, groups with their counters, accounts and
// contacts with their images, colours and blinking, and the paint of the
// window itself (stale statuses, rows off screen).
#include "clwindow/ListWindowFixture.h"

#include <thread>

#include "CriticalSectionLock.h"
#include "support/ScreenPixels.h"

namespace {

using Colors = CNumberedSkin;

Protocols::ContactStatusInfo StatusWith(Protocols::Status status, std::vector<std::vector<unsigned int>> left,
                                        std::vector<std::vector<unsigned int>> right = {})
{
    Protocols::ContactStatusInfo info;
    info.status = status;
    for (const auto& entry : left) {
        CJOVArray<unsigned int> images(10);
        for (unsigned int image : entry)
            images.Append(image);
        info.statusImages.Append(images);
    }
    for (const auto& entry : right) {
        CJOVArray<unsigned int> images(10);
        for (unsigned int image : entry)
            images.Append(image);
        info.extraImages.Append(images);
    }
    return info;
}

class ItemDrawingTest : public ListWindowTest {
protected:
    void SetStatusInfo(unsigned int contactId, const Protocols::ContactStatusInfo& info)
    {
        m_model->SetContactStatus(contactId, &info);
        Settle();
    }

    // The lines of that colour on row y.
    std::vector<DrawnLine> LinesAt(const DrawRecording& drawing, int y, COLORREF color)
    {
        std::vector<DrawnLine> found;
        for (const DrawnLine& line : drawing.lines) {
            if (line.from.y == y && line.to.y == y && line.color == color)
                found.push_back(line);
        }
        return found;
    }
};

TEST_F(ItemDrawingTest, SectionsCentreTheirCaptionBetweenTwoLinesBesideTheirImage)
{
    SetByte(L"CL mode", 0);
    StartList();
    DrawRecording drawing = DrawShown();
    const DrawnText* online = drawing.Find(L"Online");
    const DrawnText* offline = drawing.Find(L"Offline");
    ASSERT_TRUE(online && offline);
    EXPECT_EQ(online->color, Colors::Numbered(6));
    EXPECT_EQ(offline->color, Colors::Numbered(7));
    EXPECT_EQ(drawing.Find(L"Not in list"), nullptr);  // hidden while empty

    const int mid = Y(18) / 2;
    std::vector<DrawnLine> lines = LinesAt(drawing, mid, Colors::Numbered(3));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].from.x, X(22));
    EXPECT_EQ(lines[1].from.x, kWidth - X(6));
    EXPECT_LT(lines[0].to.x, online->at.x);
    EXPECT_GT(lines[1].to.x, online->at.x);
    // The current section's band: "Focus" on top, "Focus gradient" below.
    ASSERT_FALSE(drawing.gradients.empty());
    EXPECT_EQ(drawing.gradients[0].top, Colors::Numbered(9));
    EXPECT_EQ(drawing.gradients[0].bottom, Colors::Numbered(10));
    EXPECT_TRUE(Contains(m_images.Squares(20), Icon(0, 0, 18)));

    {
        CCriticalSectionLock hold(m_control->GetLock());
        m_control->GetStatusRoot(1)->SetOpen(0);
    }
    DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(19), Icon(0, Y(18), 18)));
    EXPECT_FALSE(Contains(m_images.Squares(20), Icon(0, Y(18), 18)));
}

TEST_F(ItemDrawingTest, GroupsCountTheirOnlineAndUnreadContactsAgainstAll)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    for (const wchar_t* name : {L"a", L"b"})
        SetStatus(AddContact(name, friends), Protocols::StatusOnline);
    const unsigned int c = AddContact(L"c", friends);
    for (const wchar_t* name : {L"d", L"e", L"f"})
        AddContact(name, friends);
    Receive(c, L"hello");
    std::vector<unsigned int> strangers;
    for (const wchar_t* name : {L"s1", L"s2", L"s3", L"s4", L"s5"})
        strangers.push_back(AddContact(name, 0));
    {
        CCriticalSectionLock hold(m_control->GetLock());
        Contact(strangers[0])->SetVisible(false);
        Contact(strangers[1])->SetVisible(false);
    }

    DrawRecording drawing = DrawShown();
    const DrawnText* name = drawing.Find(L"Friends");
    const DrawnText* online = drawing.Find(L"3");
    const DrawnText* total = drawing.Find(L"/6");
    ASSERT_TRUE(name && online && total);
    EXPECT_EQ(name->color, Colors::Numbered(4));
    EXPECT_EQ(online->color, Colors::Numbered(5));
    EXPECT_EQ(total->color, Colors::Numbered(4));
    EXPECT_LT(name->at.x, online->at.x);
    EXPECT_LT(online->at.x, total->at.x);
    // "Not in list" counts every contact, hidden ones too, in its own colour.
    const DrawnText* strangersCount = drawing.Find(L"5");
    ASSERT_NE(strangersCount, nullptr);
    EXPECT_EQ(strangersCount->color, Colors::Numbered(8));
    EXPECT_EQ(drawing.Find(L"s1"), nullptr);
    EXPECT_NE(drawing.Find(L"s3"), nullptr);
}

// The font may draw other advances than it measures: the counters placed
// after the group's measured name find its letters ending there.
TEST_F(ItemDrawingTest, AGroupsNameEndsWhereItsCounterIsPlacedAfterIt)
{
    StartList();
    AddAccount();
    const wchar_t name[] = L"Friends and family";
    const unsigned int friends = AddGroup(name);
    SetStatus(AddContact(L"a", friends), Protocols::StatusOnline);
    const RECT row = RowOf(Group(friends));

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(screen, kWidth, kHeight, &bits);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    const RECT all = {0, 0, kWidth, kHeight};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SIZE measured = {};
    GetTextExtentPoint32W(memory, name, static_cast<int>(wcslen(name)), &measured);
    {
        CCriticalSectionLock hold(m_control->GetLock());
        CRootItem* root = m_control->GetMode() == 0 ? m_control->GetStatusTree() : m_control->GetAccountTree();
        root->Draw(memory, &all, &all, 1);
    }
    GdiFlush();
    // The counter starts 4 units after the name's measured end.
    const int end = X(22) + measured.cx;
    int last = -1;
    for (int x = X(22); x < end + X(2); ++x) {
        for (int y = row.top + 2; y < row.bottom - 2; ++y)
            last = (static_cast<const DWORD*>(bits)[y * kWidth + x] & 0xFFFFFF) != 0xFFFFFF ? x : last;
    }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_LE(last, end);
    EXPECT_GE(last, end - 1 - X(2));
}

TEST_F(ItemDrawingTest, PendingMessagesBlinkInClosedBranchesAndInTheContactsFirstImage)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int c = AddContact(L"carol", friends);
    SetStatusInfo(c, StatusWith(Protocols::StatusOffline, {{10}, {11}}));
    Receive(c, L"hello");

    // The contact: the pending icon in place of the first image, blinking.
    const RECT row = RowOf(Contact(c));
    SetBlink(true);
    DrawRecording on = DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(22), Icon(0, row.top, 20)));
    EXPECT_TRUE(m_images.Squares(10).empty());
    EXPECT_TRUE(Contains(m_images.Squares(11), Icon(X(19), row.top, 20)));
    SetBlink(false);
    DrawRecording off = DrawShown();
    EXPECT_TRUE(m_images.Squares(22).empty());
    EXPECT_TRUE(m_images.Squares(10).empty());
    EXPECT_TRUE(Contains(m_images.Squares(11), Icon(X(19), row.top, 20)));
    ASSERT_TRUE(on.Find(L"carol") && off.Find(L"carol"));
    EXPECT_EQ(on.Find(L"carol")->at.x, off.Find(L"carol")->at.x);

    // An open group shows its open image either way; a closed one blinks.
    const RECT groupIcon = Icon(0, RowOf(Group(friends)).top, 18);
    EXPECT_TRUE(Contains(m_images.Squares(20), groupIcon));
    {
        CCriticalSectionLock hold(m_control->GetLock());
        Group(friends)->SetOpen(0);
    }
    SetBlink(true);
    DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(19), groupIcon));
    SetBlink(false);
    DrawShown();
    EXPECT_FALSE(Contains(m_images.Squares(19), groupIcon));

    // The account likewise, with its 14-unit images.
    const int mid = Y(18) / 2;
    const RECT closedAccount = {X(3), mid - Y(7), X(17), mid + Y(7)};
    {
        CCriticalSectionLock hold(m_control->GetLock());
        Account()->SetOpen(0);
    }
    SetBlink(true);
    DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(29), closedAccount));
    SetBlink(false);
    DrawShown();
    EXPECT_FALSE(Contains(m_images.Squares(29), closedAccount));

    // Read: nothing blinks any more.
    m_control->ClearNotifications(c);
    DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(29), closedAccount));
}

TEST_F(ItemDrawingTest, StatusOnlyShowsTheFirstImagesAloneAndContactColoursFollowTheirStatus)
{
    SetByte(L"CLCtrl columns", 1);
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int dave = AddContact(L"dave", friends);
    SetStatusInfo(dave, StatusWith(Protocols::StatusOnline, {{1, 2}, {3}, {4}}, {{5}, {6}}));
    const unsigned int eve = AddContact(L"eve", friends);
    SetStatusInfo(eve, StatusWith(Protocols::StatusOffline, {{9}}));
    const unsigned int stranger = AddContact(L"stranger", 0);
    SetStatusInfo(stranger, StatusWith(Protocols::StatusOffline, {{9}}));

    const int top = RowOf(Contact(dave)).top;
    DrawRecording drawing = DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(1), Icon(0, top, 20)));
    EXPECT_TRUE(Contains(m_images.Squares(2), Icon(0, top, 20)));
    EXPECT_TRUE(Contains(m_images.Squares(3), Icon(X(19), top, 20)));
    EXPECT_TRUE(Contains(m_images.Squares(4), Icon(2 * X(19), top, 20)));
    const int mid = (top + top + Y(20)) / 2;
    EXPECT_TRUE(Contains(m_images.Squares(5), RECT{kWidth - X(19), mid - Y(8), kWidth - X(3), mid + Y(8)}));
    EXPECT_TRUE(Contains(m_images.Squares(6),
                         RECT{kWidth - X(16) - X(19), mid - Y(8), kWidth - X(16) - X(3), mid + Y(8)}));
    ASSERT_TRUE(drawing.Find(L"dave") && drawing.Find(L"eve") && drawing.Find(L"stranger"));
    EXPECT_EQ(drawing.Find(L"dave")->at.x, 3 * X(19) + X(3));
    EXPECT_EQ(drawing.Find(L"dave")->color, Colors::Numbered(6));
    EXPECT_EQ(drawing.Find(L"eve")->color, Colors::Numbered(7));
    EXPECT_EQ(drawing.Find(L"stranger")->color, Colors::Numbered(3));

    // The setting is read as the paint begins.
    SetByte(L"Status only", 1);
    PaintNow();
    drawing = DrawShown();
    EXPECT_EQ(m_images.Squares(1).size(), 1u);
    EXPECT_EQ(m_images.Squares(2).size(), 1u);
    for (unsigned int image : {3u, 4u, 5u, 6u})
        EXPECT_TRUE(m_images.Squares(image).empty()) << image;
    EXPECT_EQ(drawing.Find(L"dave")->at.x, X(19) + X(3));
}

TEST_F(ItemDrawingTest, TheAccountHeaderShowsItsStatusImageAndItsOwnBand)
{
    StartList();
    AddAccount();
    AddGroup(L"Friends");
    const int mid = Y(18) / 2;
    const RECT statusImage = {X(20), mid - Y(7), X(34), mid + Y(7)};
    const RECT header = {0, 0, kWidth, Y(18)};

    // Current: the band's colours turned round.
    DrawRecording drawing = DrawShown();
    EXPECT_TRUE(Contains(m_images.Squares(71), statusImage));
    EXPECT_TRUE(Contains(m_images.Squares(30), RECT{X(3), mid - Y(7), X(17), mid + Y(7)}));
    ASSERT_NE(drawing.Find(L"123456"), nullptr);
    EXPECT_EQ(drawing.Find(L"123456")->color, Colors::Numbered(0));
    const DrawnGradient* band = nullptr;
    for (const DrawnGradient& gradient : drawing.gradients) {
        if (Same(gradient.rect, header))
            band = &gradient;
    }
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->top, Colors::Numbered(10));
    EXPECT_EQ(band->bottom, Colors::Numbered(9));

    m_control->SelectNext();
    drawing = DrawShown();
    band = nullptr;
    for (const DrawnGradient& gradient : drawing.gradients) {
        if (Same(gradient.rect, header))
            band = &gradient;
    }
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->top, Colors::Numbered(1));
    EXPECT_EQ(band->bottom, Colors::Numbered(2));

    // One image is the account's own, no status.
    {
        CCriticalSectionLock hold(m_control->GetLock());
        Account()->GetStyle().images.RemoveAll();
        Account()->GetStyle().images.Append(70);
    }
    DrawShown();
    EXPECT_TRUE(m_images.Squares(71).empty());
    EXPECT_TRUE(m_images.Squares(70).empty());
}

TEST_F(ItemDrawingTest, AStaleStatusIsAskedAfterThePaintAndKeptStaleUntilAnswered)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int bob = AddContact(L"bob", friends);
    ASSERT_TRUE(Contact(bob)->IsStatusStale());

    int asked = 0;
    bool lockedWhileAsked = false;
    bool answer = false;
    m_protocols.contactStatus = [&](unsigned int accountId, unsigned int contactId,
                                    Protocols::ContactStatusInfo* info) {
        ++asked;
        EXPECT_EQ(accountId, kAccount);
        EXPECT_EQ(contactId, bob);
        // Another thread finds the control's lock free.
        std::thread probe([&] {
            if (TryEnterCriticalSection(&m_control->GetLock()))
                LeaveCriticalSection(&m_control->GetLock());
            else
                lockedWhileAsked = true;
        });
        probe.join();
        *info = StatusWith(Protocols::StatusOnline, {{40}});
        return answer;
    };

    // No answer (a time-out): still stale, asked again by the next paint.
    // The contact's item in each tree: asked once.
    PaintNow();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(lockedWhileAsked);
    EXPECT_TRUE(Contact(bob)->IsStatusStale());
    EXPECT_FALSE(HasUpdate());

    answer = true;
    PaintNow();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(Contact(bob)->IsStatusStale());
    CContactItem* statusBob = nullptr;
    ASSERT_TRUE(m_control->FindStatusContactItem(bob, nullptr, &statusBob));
    EXPECT_FALSE(statusBob->IsStatusStale());
    EXPECT_EQ(Contact(bob)->GetStatus(), Protocols::StatusOnline);
    EXPECT_TRUE(HasUpdate());
    UpdateWindow(m_list);
    EXPECT_EQ(asked, 2);
    DrawShown();
    EXPECT_FALSE(m_images.Squares(40).empty());
}

TEST_F(ItemDrawingTest, APaintDrawsOnlyTheRowsOnScreen)
{
    SetByte(L"CLCtrl columns", 1);
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    m_model->BeginTransaction();
    for (int i = 0; i < 60; ++i) {
        const unsigned int contactId = m_model->CreateContact(kAccount, friends);
        m_model->SetString(contactId, CJOVString(L"CL Alias"), CJOVString(std::to_wstring(100 + i).c_str()));
        m_model->NotifyContactAdded(contactId);
    }
    m_model->EndTransaction();
    Settle();
    PaintNow();

    const unsigned long before = CTreeItem::GetRowsDrawn();
    PaintNow();
    const unsigned long drawn = CTreeItem::GetRowsDrawn() - before;
    // The account, the group and the contacts that fit, one partly.
    const unsigned long fit = 2 + static_cast<unsigned long>((kHeight - 2 * Y(18)) / Y(20)) + 1;
    EXPECT_LE(drawn, fit);
    EXPECT_GE(drawn, fit - 1);

    // A page further down: contacts only, as many.
    SendMessageW(m_list, WM_VSCROLL, SB_PAGEDOWN, 0);
    DrawRecording page = DrawShown();
    EXPECT_EQ(page.Find(L"123456"), nullptr);
    EXPECT_EQ(page.Find(L"Friends"), nullptr);
    EXPECT_LE(page.texts.size(), fit);
    EXPECT_GE(page.texts.size(), fit - 2);
}

} // namespace
