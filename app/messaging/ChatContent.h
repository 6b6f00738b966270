// Everything one chat view shows: its messages, service lines and history
// separators, stacked from the top with a small gap between them. Adding
// entries lays out only the new nodes, in one pass however many, and the
// older ones whose smilies the chat-wide limit turned into text (those
// after them only move); a full layout follows a width change.
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
    // The same for count entries, oldest first, with one limit pass and one
    // layout: the result is that of adding them one by one.
    void AddEvents(const SMessage* messages, int count);
    // The least height the entries take once added: a message or a service
    // line is an icon high at least, a separator a line, and gaps between.
    int LeastHeightOf(const SMessage* messages, int count) const;
    void Clear();
    // Turns every smiley picture into its code: the smilies set is about to go.
    void RefreshSmilies();

    int GetNodeCount() const { return m_nodes.Count(); }
    CChatNode* GetNode(int index) const { return m_nodes[index]; }
    int GetFindNode() const { return m_findNode; }
    int GetCaretNode() const { return m_caretNode; }

private:
    // Null for an unknown kind.
    CChatNode* MakeNode(const SMessage* message);
    // Notes the nodes from first on that hold pictures and, when one does,
    // applies the smilies limit down from the newest: the lowest node whose
    // pictures became text, or -1.
    int LimitSmilies(int first);
    // Lays out the nodes from first to the last: first keeps its top when
    // laid out before (a new one goes under the content); an old node whose
    // text is still laid out only moves.
    void LayoutFrom(int first, int firstNew);
    bool IsLaidOut(int node) const;
    int SmileyCount(int node) const;

    CJOVArray<CChatNode*> m_nodes;
    int m_historyFlag;
    // The messages that hold smiley pictures, in order. Only these can lose
    // some to the limit (a message gets its pictures only when made), and
    // the limit keeps them few.
    CJOVArray<int> m_picturedNodes;
    int m_findNode;
    int m_caretNode;
};
