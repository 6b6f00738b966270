// The message text parser and its word-wrap: a message of the input's text
// (UTF-8, after a first byte that chooses the view's width) in a chat whose
// smilies share the beginnings of their codes, measured with fixed-width
// characters. Wrapping loses no character and adds none: the lines hold the
// text, in order.
#include <memory>
#include <string>

#include "chat/ChatFakes.h"
#include "messaging/ChatContent.h"
#include "messaging/ChatEntry.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatNode_Message.h"
#include "messaging/FindText.h"
#include "fuzz/wine/FuzzTargets.h"

namespace {

struct ChatWorld {
    CDensity density{96};
    CFixedWidthMeasurer measurer;
    CFakeSmilies smilies;
    CFakeSkin skin{&smilies};
    MessageWndSettings settings{nullptr, nullptr};
    CTestChatView view{240, 320, measurer, skin, settings};
};

ChatWorld* g_world = nullptr;

void SetUp()
{
    g_world = new ChatWorld;
    g_world->smilies.Add({L":)", L":-)"});
    g_world->smilies.Add({L":))"});
    g_world->smilies.Add({L";)"});
    g_world->smilies.Add({L"", L"B)"});
    g_world->smilies.Add({L"http://"}, 40, 15);
    g_world->measurer.SetWidth(L'W', 13);
    g_world->measurer.SetWidth(L'\x4E2D', 12);
}

std::wstring LinesText(CChatMessageItem_Text* text)
{
    std::wstring chars;
    for (int i = 0; i < text->GetLineCount(); ++i) {
        CChatMessageTextLine* line = text->GetLine(i);
        for (int j = 0; j < line->GetItemCount(); ++j) {
            CChatMessageTextLineItem* item = line->GetItem(j);
            chars.append(item->GetText() + item->GetStart(), static_cast<size_t>(item->GetLength()));
        }
    }
    return chars;
}

void Run(const unsigned char* data, size_t size)
{
    if (size == 0)
        return;
    const int width = 8 + data[0];
    const CJOVString text(data + 1, static_cast<int>(size - 1), CP_UTF8);
    CChatContent content(&g_world->view, 0);
    RECT rect = {0, 0, width, 0};
    content.Layout(rect);
    SMessage message;
    message.kind = SMessage::Incoming;
    message.subKind = 22;
    message.nick = CJOVString(L"Bob");
    message.time = CJOVString(L"(12:00)");
    message.text = text;
    content.AddEvent(&message);
    auto* node = static_cast<CChatNode_Message*>(content.GetNode(content.GetNodeCount() - 1));
    for (int pass = 0; pass < 2; ++pass) {
        FUZZ_CHECK(LinesText(node->GetText()) == node->GetText()->GetText());
        rect = {0, 0, pass == 0 ? 240 : width / 2 + 1, 0};
        content.Layout(rect);
    }
    CViewDrawContext context(&g_world->view);
    content.Find(L"www", {0, 0}, &context);
    content.Find(L":)", {1, 1}, &context);
}

} // namespace

const MutationTarget kChatTextTarget = {"chat", SetUp, Run};
