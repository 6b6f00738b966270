// Every chat item: the content, its nodes, the parts of a message and the
// pieces of a laid-out line. Coordinates are the content's: x as in the
// view's client area, y = client y + the view's scroll position.
// A caret result is the caret's x and the top of the line that holds it;
// (-1, -1) means no caret here; from MoveCaret, x = -1 means the caret left
// before the item's start and y = -1 that it left past its end.
// UI thread.
#pragma once

#include <windows.h>

#include "HiDpi.h"
#include "JOVDrawContext.h"

class CChatView;
class CGrowingTextBuffer;
struct FindFlags;

enum ChatItemType : int {
    ChatItemBase = -1,
    ChatItemContent = 0,
    ChatItemHistorySep = 1,
    ChatItemMessage = 2,
    ChatItemHead = 3,
    ChatItemText = 4,
    ChatItemLine = 5,
    ChatItemSmaily = 6,
    ChatItemString = 7,
    ChatItemLink = 8,
    ChatItemService = 9,
};

enum CaretStep : int {
    CaretHere = 0,
    CaretNextChar = 1,
    CaretPrevChar = 2,
    CaretLineUp = 3,
    CaretLineDown = 4,
    CaretLineStart = 5,
    CaretLineEnd = 6,
    CaretPrevNode = 7,
    CaretNextNode = 8,
};

inline POINT NoCaret() { return {-1, -1}; }
inline bool IsCaretAt(POINT caret) { return caret.x != -1 && caret.y != -1; }

class CChatItem {
public:
    explicit CChatItem(CChatView* parent);
    CChatItem(const CChatItem&) = delete;
    CChatItem& operator=(const CChatItem&) = delete;

    virtual int GetType() const;
    virtual ~CChatItem();
    // Drawing y = item y - scroll.
    virtual void Draw(CJOVDrawContext* context, int scroll);
    // Marks what lies between the two points; either may come first.
    virtual void Select(POINT first, POINT second, CJOVDrawContext* context);
    virtual void ClearSelection();
    virtual void AppendSelectedText(CGrowingTextBuffer& buffer);
    // Nonzero when handled (a link opened).
    virtual int OnClick(POINT point);
    virtual POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context);
    virtual void ResetCaret();
    // CaretStep; CaretHere only answers where the caret is.
    virtual POINT MoveCaret(int step, CJOVDrawContext* context);
    // Moves the laid-out item dy down (up when negative) with all it holds:
    // where laying it out again dy lower would put it, measuring nothing.
    virtual void Offset(int dy);

    const RECT& GetRect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    CChatView* GetParentView() const { return m_parent; }

    // n device-independent pixels on this screen.
    static int SX(int n) { return HIDPI_ScaleX(n); }
    static int SY(int n) { return HIDPI_ScaleY(n); }

protected:
    RECT m_rect;
    CChatView* m_parent;
};

class CChatNode : public CChatItem {
public:
    using CChatItem::CChatItem;

    // Lays the node out within rect's left, top and right; on return rect is
    // the node's own (its bottom where the node ends).
    virtual void Layout(RECT& rect) = 0;
    // Finds the pattern after the node's previous hit and marks it as the
    // selection: the top of the line that holds it, or -1.
    virtual int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) = 0;
    virtual void ResetFind() = 0;
    virtual void AppendAllText(CGrowingTextBuffer& buffer) = 0;
};
