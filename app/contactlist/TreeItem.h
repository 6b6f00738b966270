// The nodes of the contact-list trees: an item links its children in a
// doubly linked list, keeps them in the order its Compare gives them, and
// measures and hit-tests its branch. Lengths are in device units scaled to
// the screen (HIDPI_ScaleX/Y).
//
// The items do not lock: the control changes them on its queue thread and
// the UI thread measures, draws and walks them, both under the control's lock.
// Drawing (ItemDrawing.cpp) takes the skin's colours and images through the
// dialog framework (DialogSkin, the program's image drawing).
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"
#include "MenuInfo.h"

// The look of a status section or a group branch.
struct BranchStyle {
    unsigned int openImage = 20;
    unsigned int closedImage = 19;
    unsigned int columns = 2;  // 1 to 4
};

// The look of an account branch; every account item holds its own copy,
// whose image list holds that account's images.
struct AccountBranchStyle {
    unsigned int openImage = 30;
    unsigned int closedImage = 29;
    CJOVArray<unsigned int> images{10};
    unsigned int columns = 2;
};

enum class TreeItemKind { Root, Status, Account, Group, Contact };

class CTreeItem {
public:
    CTreeItem();
    // Destroys the children first.
    virtual ~CTreeItem();
    CTreeItem(const CTreeItem&) = delete;
    CTreeItem& operator=(const CTreeItem&) = delete;

    virtual TreeItemKind GetKind() const = 0;

    // The own row plus, when open, every visible child's branch.
    virtual unsigned int GetHeight();
    virtual unsigned int GetItemHeight() = 0;
    // Fills top and bottom (tree coordinates) of the whole branch; answers the bottom.
    virtual int GetItemRect(RECT* rect);
    virtual unsigned int GetChildCount();
    virtual unsigned int GetVisibleChildCount();
    // Sorted insertion: before the first child that compares greater than
    // the newcomer, after the equal ones; one that no child follows goes last
    // at once.
    virtual void AddChild(CTreeItem* child);
    // 1 when child was linked here; it is unlinked, not destroyed.
    virtual int RemoveChild(CTreeItem* child);
    // The own row at the top of rect and, when open and drawChildren is set,
    // the visible children below it; only what meets clip is drawn.
    virtual void Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren);
    // y from the item's own top; the item or descendant there, or null.
    virtual CTreeItem* HitTest(int x, int y, int width);
    // Non-zero: the window acts on the answer.
    virtual int OnClick();
    virtual int OnDoubleClick();
    virtual int OnEnter();
    // The item's own menu entries (the caller holds the control's lock; the
    // control adds the account's entries afterwards).
    virtual void FillContextMenu(CMenuInfo& menu);
    // The lowest visible row of the branch (moving the selection up).
    virtual CTreeItem* GetLastVisible();
    // Called on the item in the list with the newcomer: > 0 when this item
    // belongs after it.
    virtual int Compare(const CTreeItem* other) const;
    // Stores the flag; sections, groups and accounts also keep it in the settings.
    virtual void SetOpen(BYTE open);
    virtual BYTE HasUnread() const;

    CTreeItem* GetParent() const { return m_parent; }
    CTreeItem* GetNext() const { return m_next; }
    CTreeItem* GetPrevious() const { return m_previous; }
    CTreeItem* GetFirstChild() const { return m_firstChild; }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool IsFocused() const { return m_focused; }
    void SetFocused(bool focused) { m_focused = focused; }
    bool IsOpen() const { return m_open; }
    // The open flag as read back from the settings, without storing it again.
    void SetOpenFlag(bool open) { m_open = open; }
    // item is this one or lies in its branch.
    bool Holds(const CTreeItem* item) const;
    // Top of the first child's row: this item's top plus its row height.
    int ChildrenTop();

    // Rows drawn so far in the process (the benchmark reports them).
    static unsigned long GetRowsDrawn();

private:
    CTreeItem* m_parent;
    CTreeItem* m_next;
    CTreeItem* m_previous;
    CTreeItem* m_firstChild;
    CTreeItem* m_lastChild;
    bool m_visible;
    bool m_focused;
    bool m_open;
};

// The invisible top of a tree: no row of its own.
class CRootItem final : public CTreeItem {
public:
    TreeItemKind GetKind() const override { return TreeItemKind::Root; }
    unsigned int GetItemHeight() override { return 0; }
};

// Rows of the trees, in device units before scaling.
inline constexpr int kBranchRowUnits = 18;
inline constexpr int kContactRowUnits = 20;
