#include "contactlist/GridItem.h"

#include "HiDpi.h"

unsigned int CGridItem::GetColumns() const
{
    return m_style && m_style->columns > 0 ? m_style->columns : 1;
}

unsigned int CGridItem::GetItemHeight()
{
    return static_cast<unsigned int>(HIDPI_ScaleY(kBranchRowUnits));
}

unsigned int CGridItem::GetHeight()
{
    unsigned int height = GetItemHeight();
    const unsigned int count = GetGridChildCount();
    if (!IsOpen() || count == 0 || !GetFirstChild())
        return height;
    const unsigned int columns = GetColumns();
    const unsigned int rows = (count + columns - 1) / columns;
    return height + rows * GetFirstChild()->GetItemHeight();
}

CTreeItem* CGridItem::HitTest(int x, int y, int width)
{
    const int row = static_cast<int>(GetItemHeight());
    if (y < row)
        return this;
    y -= row;
    const unsigned int columns = GetColumns();
    const int columnWidth = width / static_cast<int>(columns);
    unsigned int index = 0;
    for (CTreeItem* child = GetFirstChild(); child; child = child->GetNext()) {
        if (!child->IsVisible())
            continue;
        const int height = static_cast<int>(child->GetHeight());
        const int column = static_cast<int>(index % columns);
        if (y >= 0 && y < height && x >= column * columnWidth && x < (column + 1) * columnWidth)
            return child;
        ++index;
        if (index % columns == 0)
            y -= height;
    }
    return nullptr;
}

int CGridItem::OnClick()
{
    SetOpen(IsOpen() ? 0 : 1);
    return 1;
}
