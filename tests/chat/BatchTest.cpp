// Entries added at once, as a history opens: the same nodes, lines, pictures,
// selection, find and copy as adding them one by one, the smilies limit
// reaching into what was there before, and controls made only for the
// pictures the limit leaves.
#include "chat/ChatFixture.h"
#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatNode_Service.h"
#include "messaging/SmailyCtrl.h"

namespace {

class BatchTest : public ChatTest {
protected:
    BatchTest()
    {
        smilies.Add({L":)"});
        smilies.Add({L";)", L":-)"});
        ResetBoth(0);
    }

    void ResetBoth(int historyFlag)
    {
        ResetContent(240, historyFlag);
        single = std::make_unique<CChatContent>(&view, historyFlag);
        RECT rect = {0, 0, 240, 0};
        single->Layout(rect);
    }

    // Messages of both directions with pictures (some several), links and
    // line breaks, now and then a service line, a separator or an unknown kind.
    static std::vector<SMessage> Entries(int count, int seed)
    {
        static const wchar_t* const pieces[] = {L"hello", L":)", L"www.example.org/a", L"a longer word here",
                                                L";) :-) :)", L"\nnext line", L"internationalisation", L"ok"};
        std::vector<SMessage> entries;
        unsigned state = static_cast<unsigned>(seed);
        auto next = [&state](unsigned n) {
            state = state * 1103515245u + 12345u;
            return (state >> 16) % n;
        };
        for (int i = 0; i < count; ++i) {
            SMessage entry;
            unsigned kind = next(12);
            entry.kind = kind == 0 ? SMessage::Service : kind == 1 ? SMessage::HistorySeparator : kind == 2 ? 7u
                         : kind < 6 ? SMessage::Outgoing : SMessage::Incoming;
            entry.subKind = entry.kind == SMessage::Outgoing ? 23 : 22;
            entry.nick = entry.kind == SMessage::Outgoing ? L"I" : L"Bob";
            entry.time = L"(12:00)";
            std::wstring text;
            for (unsigned words = 1 + next(5); words > 0; --words)
                text += std::wstring(pieces[next(8)]) + L" ";
            entry.text = text.c_str();
            entries.push_back(entry);
        }
        return entries;
    }

    static void AddOneByOne(CChatContent& target, const std::vector<SMessage>& entries)
    {
        for (const SMessage& entry : entries)
            target.AddEvent(&entry);
    }

    static std::wstring Place(const RECT& r)
    {
        return L" " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
               std::to_wstring(r.bottom);
    }

    // Every node as its kind, runs, lines and the places of all its pieces.
    static std::vector<std::wstring> Describe(CChatContent& target)
    {
        std::vector<std::wstring> nodes;
        for (int i = 0; i < target.GetNodeCount(); ++i) {
            CChatNode* node = target.GetNode(i);
            std::wstring text = std::to_wstring(node->GetType()) + Place(node->GetRect());
            if (node->GetType() == ChatItemMessage) {
                auto* message = static_cast<CChatNode_Message*>(node);
                CChatMessageItem_Head* head = message->GetHead();
                text += Place(head->GetRect()) + Place(head->GetSeparatorRect());
                for (int k = 0; k < head->GetRunCount(); ++k)
                    text += Place(head->GetRun(k)->GetRect());
                CChatMessageItem_Text* body = message->GetText();
                for (int k = 0; k < body->GetRunCount(); ++k) {
                    const CChatMessageItem_Text::ParsingTextItem& run = body->GetRun(k);
                    text += L" " + std::to_wstring(run.type) + L":" + body->GetText().substr(run.start, run.length);
                }
                for (const std::wstring& line : Lines(message))
                    text += L" |" + line;
                for (int k = 0; k < body->GetLineCount(); ++k) {
                    CChatMessageTextLine* line = body->GetLine(k);
                    text += Place(line->GetRect());
                    for (int m = 0; m < line->GetItemCount(); ++m)
                        text += Place(line->GetItem(m)->GetRect());
                }
            } else if (node->GetType() == ChatItemService) {
                auto* service = static_cast<CChatNode_Service*>(node);
                for (int k = 0; k < service->GetPieceCount(); ++k)
                    text += Place(service->GetPiece(k)->GetRect());
            }
            nodes.push_back(text);
        }
        return nodes;
    }

    int Pictures(CChatContent& target)
    {
        int pictures = 0;
        for (int i = 0; i < target.GetNodeCount(); ++i) {
            if (target.GetNode(i)->GetType() == ChatItemMessage)
                pictures += static_cast<CChatNode_Message*>(target.GetNode(i))->GetText()->GetSmileyCount();
        }
        return pictures;
    }

    void ExpectSameAsOneByOne()
    {
        ASSERT_EQ(Describe(*content), Describe(*single));
        EXPECT_EQ(content->GetRect(), single->GetRect());
        EXPECT_EQ(AllText(*content), AllText(*single));
        CViewDrawContext context(&view);
        const int bottom = single->GetRect().bottom;
        const POINT drags[][2] = {{{30, 5}, {200, bottom / 2}}, {{239, bottom - 2}, {0, bottom / 3}}};
        for (const auto& drag : drags) {
            content->Select(drag[0], drag[1], &context);
            single->Select(drag[0], drag[1], &context);
            EXPECT_EQ(Selected(*content), Selected(*single));
        }
        for (const wchar_t* pattern : {L"line", L":)", L"example", L"Bob"}) {
            content->ResetFind();
            single->ResetFind();
            for (int hit = 0; hit < 6; ++hit) {
                int top = content->Find(pattern, {0, 0}, &context);
                ASSERT_EQ(top, single->Find(pattern, {0, 0}, &context)) << testing::PrintToString(pattern) << hit;
                EXPECT_EQ(Selected(*content), Selected(*single));
            }
        }
        // Nodes moved rather than laid out again stand where a full layout puts them.
        RECT rect = {0, 0, 240, 0};
        single->Layout(rect);
        EXPECT_EQ(Describe(*content), Describe(*single));
    }

    std::unique_ptr<CChatContent> single;
};

TEST_F(BatchTest, ABatchLaysOutAsAddsOneByOne)
{
    const std::vector<SMessage> entries = Entries(150, 1);
    content->AddEvents(entries.data(), static_cast<int>(entries.size()));
    AddOneByOne(*single, entries);
    ExpectSameAsOneByOne();
    EXPECT_EQ(Pictures(*content), 10);
}

TEST_F(BatchTest, ABatchLimitsThePicturesOfWhatWasThereBeforeAsAddsOneByOne)
{
    for (int limit : {3, 10}) {
        skin.smiliesNumber = limit;
        ResetBoth(0);
        const std::vector<SMessage> before = Entries(40, 2), after = Entries(25, 3);
        AddOneByOne(*content, before);
        content->AddEvents(after.data(), static_cast<int>(after.size()));
        AddOneByOne(*single, before);
        AddOneByOne(*single, after);
        ExpectSameAsOneByOne();
        EXPECT_LE(Pictures(*content), limit);
    }
}

TEST_F(BatchTest, BatchesOfOneAndOfNothingAreAddsOneByOne)
{
    const std::vector<SMessage> entries = Entries(30, 4);
    for (const SMessage& entry : entries)
        content->AddEvents(&entry, 1);
    content->AddEvents(entries.data(), 0);
    SMessage unknown = entries[0];
    unknown.kind = 7;
    content->AddEvents(&unknown, 1);
    AddOneByOne(*single, entries);
    ExpectSameAsOneByOne();
}

TEST_F(BatchTest, TheHistoryViewTakesABatchWithoutPictures)
{
    ResetBoth(1);
    const std::vector<SMessage> entries = Entries(60, 5);
    content->AddEvents(entries.data(), static_cast<int>(entries.size()));
    AddOneByOne(*single, entries);
    ExpectSameAsOneByOne();
    EXPECT_EQ(Pictures(*content), 0);
}

TEST_F(BatchTest, APaintAfterABatchMakesControlsOnlyForThePicturesTheLimitLeaves)
{
    std::vector<SMessage> entries = Entries(1, 6);
    entries[0].kind = SMessage::Incoming;
    entries[0].text = L"a :) b";
    entries.resize(30, entries[0]);
    content->AddEvents(entries.data(), static_cast<int>(entries.size()));
    int controls = 0;
    auto count = [](HWND, LPARAM param) -> BOOL {
        ++*reinterpret_cast<int*>(param);
        return TRUE;
    };
    EnumChildWindows(view.GetViewWindow(), count, reinterpret_cast<LPARAM>(&controls));
    EXPECT_EQ(controls, 0) << "nothing drawn yet";
    view.content = content.get();
    RedrawWindow(view.GetViewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    view.content = nullptr;
    EnumChildWindows(view.GetViewWindow(), count, reinterpret_cast<LPARAM>(&controls));
    EXPECT_EQ(controls, 10);
    auto* newest = static_cast<CChatNode_Message*>(content->GetNode(29));
    EXPECT_TRUE(IsWindowVisible(*newest->GetText()->GetSmiley(0)));
}

} // namespace
