// Everything one chat view shows: its messages, service lines and history
// separators, stacked from the top with a small gap between them. Adding an
// entry lays out only the new node (and the older ones whose smilies the
// chat-wide limit turned into text); a full layout follows a width change.
// The view asks only the content, through these operations.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "messaging/ChatItem.h"

struct SMessage;

class CChatContent : public CChatNode {
public:
    // historyFlag: 1 in the history dialog's view, which shows no smiley pictures.
    CChatContent(CChatView* parent, int historyFlag);
    ~CChatContent() override;

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    int OnClick(POINT point) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void ResetCaret() override;
    POINT MoveCaret(int step, CJOVDrawContext* context) override;
    void Layout(RECT& rect) override;
    int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) override;
    void ResetFind() override;
    void AppendAllText(CGrowingTextBuffer& buffer) override;

    // Appends a node for the entry (none for an unknown kind) and lays it out.
    void AddEvent(const SMessage* message);
    void Clear();
    // Turns every smiley picture into its code: the smilies set is about to go.
    void RefreshSmilies();

    int GetNodeCount() const { return m_nodes.Count(); }
    CChatNode* GetNode(int index) const { return m_nodes[index]; }
    int GetFindNode() const { return m_findNode; }
    int GetCaretNode() const { return m_caretNode; }

private:
    void LayoutTail();
    // Lays out nodes first..last from first's top, with the gap between them.
    void LayoutFrom(int first, int last);
    int SmileyCount(int node) const;

    CJOVArray<CChatNode*> m_nodes;
    int m_historyFlag;
    int m_findNode;
    int m_caretNode;
};
