// A chat content in a real view window at 96 dpi, with characters 6 pixels
// wide (the Text font 14 high, the Head fonts 12), an empty smilies set, and
// helpers that read what the layout made.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/ChatFakes.h"
#include "messaging/ChatContent.h"
#include "messaging/ChatEntry.h"
#include "messaging/ChatMessageItem_Head.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatMessageTextLineItem_Link.h"
#include "messaging/ChatMessageTextLineItem_Smaily.h"
#include "messaging/ChatNode_Message.h"
#include "messaging/FindText.h"
#include "messaging/GrowingTextBuffer.h"

class ChatTest : public ::testing::Test {
protected:
    ChatTest()
    {
        EXPECT_TRUE(IsWindow(view.GetViewWindow())) << "no window: is there a display?";
        ResetContent();
    }

    void ResetContent(int width = 240, int historyFlag = 0)
    {
        content = std::make_unique<CChatContent>(&view, historyFlag);
        RECT rect = {0, 0, width, 0};
        content->Layout(rect);
    }

    CChatNode_Message* AddMessage(const wchar_t* text, const wchar_t* nick = L"Bob", const wchar_t* time = L"(12:00)",
                                  unsigned kind = SMessage::Incoming)
    {
        SMessage message;
        message.kind = kind;
        message.subKind = kind == SMessage::Outgoing ? 23 : 22;
        message.nick = nick;
        message.time = time;
        message.text = text;
        content->AddEvent(&message);
        return static_cast<CChatNode_Message*>(content->GetNode(content->GetNodeCount() - 1));
    }

    void AddEntry(unsigned kind, const wchar_t* nick = L"", const wchar_t* time = L"", int subKind = 0)
    {
        SMessage message;
        message.kind = kind;
        message.subKind = subKind;
        message.nick = nick;
        message.time = time;
        content->AddEvent(&message);
    }

    void Relayout(int width)
    {
        RECT rect = {0, 0, width, 0};
        content->Layout(rect);
    }

    void SetFlags(int showNames, int showTime, int newLine) { settings.SetChatFlags({showNames, showTime, newLine}); }

    // The characters of each line of a message's text.
    static std::vector<std::wstring> Lines(CChatNode_Message* node)
    {
        std::vector<std::wstring> lines;
        CChatMessageItem_Text* text = node->GetText();
        for (int i = 0; i < text->GetLineCount(); ++i) {
            std::wstring chars;
            CChatMessageTextLine* line = text->GetLine(i);
            for (int j = 0; j < line->GetItemCount(); ++j) {
                CChatMessageTextLineItem* item = line->GetItem(j);
                chars.append(item->GetText() + item->GetStart(), item->GetLength());
            }
            lines.push_back(chars);
        }
        return lines;
    }

    static std::wstring Selected(CChatItem& item)
    {
        CGrowingTextBuffer buffer;
        item.AppendSelectedText(buffer);
        return buffer.GetText();
    }

    static std::wstring AllText(CChatNode& node)
    {
        CGrowingTextBuffer buffer;
        node.AppendAllText(buffer);
        return buffer.GetText();
    }

    int Find(const wchar_t* pattern, int wholeWord = 0, int matchCase = 0)
    {
        CViewDrawContext context(&view);
        return content->Find(pattern, {wholeWord, matchCase}, &context);
    }

    CDensity density{96};
    CFixedWidthMeasurer measurer;
    CFakeSmilies smilies;
    CFakeSkin skin{&smilies};
    MessageWndSettings settings{nullptr, nullptr};
    CTestChatView view{240, 320, measurer, skin, settings};
    std::unique_ptr<CChatContent> content;
};

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

inline std::ostream& operator<<(std::ostream& out, const POINT& p) { return out << "(" << p.x << ", " << p.y << ")"; }
