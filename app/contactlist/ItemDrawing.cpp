// How each kind of item draws its row, and the branches their children.
// Called by the window's paint with the control's lock held.
#include <atomic>
#include <string>

#include "HiDpi.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/ListPaint.h"

using namespace ListPaint;

namespace {

std::atomic<unsigned long> s_rowsDrawn{0};

const wchar_t* const kSectionCaptions[] = {L"Online", L"Offline", L"Not in list"};
const int kSectionColors[] = {6, 7, 8};

const UINT kCentredCaption = DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS;
const UINT kAccountCaption = DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS;
const UINT kContactName = DT_VCENTER;

bool Meets(const RECT& rect, const RECT* clip)
{
    RECT common;
    return IntersectRect(&common, &rect, clip) != 0;
}

int RowBottom(CTreeItem* item, const RECT* rect)
{
    return rect->top + static_cast<int>(item->GetItemHeight());
}

// A branch is drawn when any of it shows; its own row only when that does.
bool RowShows(CTreeItem* item, const RECT* rect, const RECT* clip)
{
    const RECT row = {rect->left, rect->top, rect->right, RowBottom(item, rect)};
    return row.bottom > row.top && Meets(row, clip);
}

CJOVString Number(unsigned int value)
{
    return CJOVString(std::to_wstring(value).c_str());
}

} // namespace

unsigned long CTreeItem::GetRowsDrawn()
{
    return s_rowsDrawn.load(std::memory_order_relaxed);
}

void CTreeItem::Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren)
{
    const int rowBottom = RowBottom(this, rect);
    const bool rowShows = RowShows(this, rect, clip);
    if (rowShows)
        s_rowsDrawn.fetch_add(1, std::memory_order_relaxed);
    if (m_focused && rowShows) {
        const RECT band = {rect->left, rect->top, rect->right, rowBottom};
        Gradient(dc, band, Color(9), Color(10));
        Frame(dc, band, Color(11));
    }
    if (!m_open || !drawChildren)
        return;
    int top = rowBottom;
    for (CTreeItem* child = m_firstChild; child && top < clip->bottom; child = child->m_next) {
        if (!child->m_visible)
            continue;
        const RECT childRect = {rect->left, top, rect->right, top + static_cast<int>(child->GetHeight())};
        if (Meets(childRect, clip))
            child->Draw(dc, &childRect, clip, 1);
        top = childRect.bottom;
    }
}

void CGridItem::DrawGrid(HDC dc, const RECT* rect, const RECT* clip)
{
    CTreeItem* first = GetFirstChild();
    if (!first || !IsOpen())
        return;
    const unsigned int columns = GetColumns();
    const int width = (clip->right - clip->left) / static_cast<int>(columns);
    int rowTop = RowBottom(this, rect);
    int rowBottom = rowTop + static_cast<int>(first->GetItemHeight());
    unsigned int index = 0;
    for (CTreeItem* child = first; child && rowTop < clip->bottom; child = child->GetNext()) {
        if (!child->IsVisible())
            continue;
        const int column = static_cast<int>(index % columns);
        const RECT cell = {clip->left + column * width, rowTop, clip->left + (column + 1) * width, rowBottom};
        if (Meets(cell, clip))
            child->Draw(dc, &cell, clip, 1);
        if (++index % columns == 0) {
            const int height = static_cast<int>(child->GetHeight());
            rowTop += height;
            rowBottom += height;
        }
    }
}

void CStatusItem::Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE)
{
    CTreeItem::Draw(dc, rect, clip, 0);
    if (RowShows(this, rect, clip))
        DrawCaption(dc, rect);
    DrawGrid(dc, rect, clip);
}

void CStatusItem::DrawCaption(HDC dc, const RECT* rect)
{
    const int rowBottom = RowBottom(this, rect);
    const int mid = (rect->top + rowBottom) / 2;
    const BranchStyle* style = GetStyle();
    if (style)
        Icon16(dc, IsOpen() ? style->openImage : style->closedImage, rect->left, mid);
    const unsigned int section = m_section < 3 ? m_section : 2;
    const CJOVString caption(kSectionCaptions[section]);
    const RECT captionRect = {rect->left + HIDPI_ScaleX(22), rect->top, rect->right, rowBottom};
    int textWidth = 0;
    const int captionWidth = rect->right - captionRect.left;
    if (Measure(dc, caption, &textWidth)) {
        // Only a caption too wide for its row needs the ellipsis; the lines need its width.
        if (textWidth <= captionWidth)
            MeasuredText(dc, caption, captionRect, Color(kSectionColors[section]), true);
        else
            Text(dc, caption, captionRect, Color(kSectionColors[section]), kCentredCaption);
    }
    const int gap = HIDPI_ScaleX(6);
    Line(dc, captionRect.left, captionRect.left + (captionWidth - textWidth) / 2 - gap, mid, Color(3));
    Line(dc, rect->right - gap, captionRect.left + (captionWidth + textWidth) / 2 + gap, mid, Color(3));
}

void CGroupItem::Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE)
{
    CTreeItem::Draw(dc, rect, clip, 0);
    if (RowShows(this, rect, clip))
        DrawCaption(dc, rect);
    DrawGrid(dc, rect, clip);
}

void CGroupItem::DrawCaption(HDC dc, const RECT* rect)
{
    const int rowBottom = RowBottom(this, rect);
    const int mid = (rect->top + rowBottom) / 2;
    const BranchStyle* style = GetStyle();
    CCLCtrl* control = CCLCtrl::GetInstance();
    if (style && IsOpen())
        Icon16(dc, style->openImage, rect->left, mid);
    else if (style && (BlinkOn() || !control || !control->HasPendingForGroup(m_groupId)))
        Icon16(dc, style->closedImage, rect->left, mid);

    RECT caption = {rect->left + HIDPI_ScaleX(22), rect->top, rect->right, rowBottom};
    const int width = MeasuredText(dc, m_name, caption, Color(4), false);
    if (width >= 0)
        DrawCounter(dc, caption, width);
}

void CGroupItem::DrawCounter(HDC dc, RECT caption, int nameWidth)
{
    caption.left += nameWidth + HIDPI_ScaleX(4);
    if (m_groupId == 0) {
        MeasuredText(dc, Number(GetChildCount()), caption, Color(8), false);
    } else {
        unsigned int online = 0;
        for (CTreeItem* child = GetFirstChild(); child; child = child->GetNext(), ++online) {
            auto* contact = static_cast<CContactItem*>(child);
            if (contact->GetStatus() < Protocols::StatusOnline && !contact->IsUnread())
                break;
        }
        const int width = MeasuredText(dc, Number(online), caption, Color(5), false);
        if (width >= 0) {
            caption.left += width;
            MeasuredText(dc, CJOVString(L"/") + Number(GetChildCount()), caption, Color(4), false);
        }
    }
}

void CAccountItem::Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE)
{
    CTreeItem::Draw(dc, rect, clip, 1);
    if (!RowShows(this, rect, clip))
        return;
    const int rowBottom = RowBottom(this, rect);
    const int mid = (rect->top + rowBottom) / 2;
    RECT header = {rect->left, rect->top, rect->right, rowBottom};
    if (IsFocused())
        Gradient(dc, header, Color(10), Color(9));
    else
        Gradient(dc, header, Color(1), Color(2));
    DrawEdge(dc, &header, EDGE_RAISED, BF_RECT);

    CCLCtrl* control = CCLCtrl::GetInstance();
    if (IsOpen())
        Icon14(dc, m_style.openImage, rect->left, 3, 17, mid);
    else if (BlinkOn() || !control || !control->HasPendingForAccount(m_accountId))
        Icon14(dc, m_style.closedImage, rect->left, 3, 17, mid);
    if (m_style.images.Count() > 1)
        Icon14(dc, m_style.images[1], rect->left, 20, 34, mid);
    const RECT caption = {rect->left + HIDPI_ScaleX(37), rect->top, rect->right, rowBottom - 1};
    Text(dc, m_name, caption, Color(0), kAccountCaption);
}

void CContactItem::Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE)
{
    CTreeItem::Draw(dc, rect, clip, 1);
    const int rowBottom = RowBottom(this, rect);
    const int mid = (rect->top + rowBottom) / 2;
    CCLCtrl* control = CCLCtrl::GetInstance();
    // Asked of the account after the paint, with the lock released.
    if (m_statusStale && control)
        control->NoteStaleStatus(m_contactId, m_accountId);
    const int pendingIcon = control ? control->GetNotifyIcon(m_contactId) : -1;
    const bool statusOnly = control && control->PaintStatusOnly();

    int x = rect->left;
    const int step = HIDPI_ScaleX(19);
    // The pending icon has its place even when the status has no image.
    const int entries = m_status.statusImages.Count() > 0 || pendingIcon == -1 ? m_status.statusImages.Count() : 1;
    for (int i = 0; i < entries; ++i) {
        if (i == 0 && pendingIcon != -1) {
            if (BlinkOn())
                Icon16(dc, static_cast<unsigned int>(pendingIcon), x, mid);
            x += step;
            continue;
        }
        if (statusOnly && i > 0)
            break;
        const CJOVArray<unsigned int>& images = m_status.statusImages[i];
        for (int k = 0; k < images.Count(); ++k)
            Icon16(dc, images[k], x, mid);
        x += step;
    }
    int right = rect->right;
    if (!statusOnly) {
        for (int i = 0; i < m_status.extraImages.Count(); ++i) {
            const CJOVArray<unsigned int>& images = m_status.extraImages[i];
            const RECT square = {right - HIDPI_ScaleX(19), mid - HIDPI_ScaleY(8), right - HIDPI_ScaleX(3),
                                 mid + HIDPI_ScaleY(8)};
            for (int k = 0; k < images.Count(); ++k)
                Image(dc, images[k], square);
            right -= HIDPI_ScaleX(16);
        }
    }
    const int color = m_status.status >= Protocols::StatusOnline ? 6 : m_groupId != 0 ? 7 : 3;
    const RECT text = {x + HIDPI_ScaleX(3), rect->top, right, rowBottom};
    Text(dc, m_name, text, Color(color), kContactName);
}
