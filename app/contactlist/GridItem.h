// A branch whose children stand in a grid of equal columns, row after row:
// the status sections and the groups.
#pragma once

#include "contactlist/TreeItem.h"

class CGridItem : public CTreeItem {
public:
    explicit CGridItem(const BranchStyle* style) : m_style(style) {}

    unsigned int GetItemHeight() override;
    // The own row plus, when open, one row of the first child's height for
    // every started row of the grid.
    unsigned int GetHeight() override;
    CTreeItem* HitTest(int x, int y, int width) override;
    // Toggles the open flag.
    int OnClick() override;

    const BranchStyle* GetStyle() const { return m_style; }
    unsigned int GetColumns() const;

protected:
    // The visible children in the grid below the own row, when open.
    void DrawGrid(HDC dc, const RECT* rect, const RECT* clip);
    // The children the grid's height counts.
    virtual unsigned int GetGridChildCount() = 0;

private:
    const BranchStyle* m_style;  // the control's, not owned
};
