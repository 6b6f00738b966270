// Times the chat content with 1,000 and 10,000 messages of mixed lengths,
// some with smilies and links, on the pocket screen (240 px at 96 dpi) and
// the VGA one (480 px at 192 dpi), one row a figure. The text-extent calls
// per message per layout are a figure too, and so is the mean add against the
// median one while adding them all. And one message of many links against
// one of words of the same length.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRow.h"
#include "bench/chat/MessageMaker.h"
#include "chat/ChatFakes.h"
#include "messaging/ChatContent.h"
#include "messaging/ChatEntry.h"
#include "messaging/FindText.h"
#include "messaging/GifAnimator.h"
#include "messaging/GrowingTextBuffer.h"

namespace {

double Time(const std::function<void()>& work)
{
    double start = NowMs();
    work();
    return NowMs() - start;
}

void Row(const std::string& figure, const std::vector<double>& samples, const char* unit,
         const std::string& baseline = std::string(), const std::vector<double>& baselineSamples = {})
{
    PrintRow(figure.c_str(), samples, unit, baseline.empty() ? nullptr : baseline.c_str(), baselineSamples);
}

// The messages' smilies, a skin with them and the settings of a chat that
// shows them, for the screen's density as made.
struct CChatLook {
    CChatLook()
    {
        for (int i = 0; i < CMessageMaker::kCodeCount; ++i)
            smilies.Add({CMessageMaker::kCodes[i]}, HIDPI_ScaleX(15), HIDPI_ScaleY(15),
                        {RGB(250, 200, 40), RGB(250, 160, 40)}, {150, 150});
        settings.SetChatFlags({1, 1, 0});
    }

    CFakeSmilies smilies;
    CFakeSkin skin{&smilies};
    MessageWndSettings settings{nullptr, nullptr};
};

struct Screen {
    const char* name;
    int dpi;
    int width;
    int height;
};

void Run(const Screen& screen, int count)
{
    CDensity density(screen.dpi);
    CGdiTextMeasurer gdi;
    CCountingMeasurer counting(gdi);
    CFixedWidthMeasurer fixed(HIDPI_ScaleX(6));
    CChatLook look;
    CTestChatView view(screen.width, screen.height, counting, look.skin, look.settings);
    CGifAnimator animator;
    CChatContent content(&view, 0);
    const int narrow = screen.width - 6, wide = screen.width - 6 - HIDPI_ScaleX(40);
    RECT start = {3, 1, 3 + narrow, 1};
    content.Layout(start);

    char name[32];
    std::snprintf(name, sizeof(name), "-%dk-%s", count / 1000, screen.name);
    const std::string suffix = name;
    CMessageMaker maker;
    std::vector<double> addAll, addEach;
    addAll.push_back(Time([&] {
        for (int i = 0; i < count; ++i) {
            SMessage message = maker.Next();
            addEach.push_back(1000 * Time([&] { content.AddEvent(&message); }));
        }
    }));
    Row("add-all" + suffix, addAll, "ms");
    // The mean add against the median one: a few dear adds show as a ratio.
    Row("add-mean" + suffix, {1000 * addAll[0] / count}, "us", "add-median", addEach);

    std::vector<double> addOne;
    for (int i = 0; i < 15; ++i) {
        SMessage message = maker.Next();
        addOne.push_back(1000 * Time([&] { content.AddEvent(&message); }));
    }
    Row("add-one" + suffix, addOne, "us");

    int nodes = content.GetNodeCount();
    std::vector<double> relayoutFixed, relayoutGdi, extents;
    for (int i = 0; i < 5; ++i) {
        view.SetMeasurer(fixed);
        RECT rect = {3, 1, 3 + (i % 2 ? narrow : wide), 1};
        relayoutFixed.push_back(Time([&] { content.Layout(rect); }));
        view.SetMeasurer(counting);
        RECT other = {3, 1, 3 + (i % 2 ? wide : narrow), 1};
        long long before = counting.calls;
        relayoutGdi.push_back(Time([&] { content.Layout(other); }));
        extents.push_back(static_cast<double>(counting.calls - before) / nodes);
    }
    Row("relayout-fixed" + suffix, relayoutFixed, "ms");
    Row("relayout-gdi" + suffix, relayoutGdi, "ms", "relayout-fixed", relayoutFixed);
    Row("extents-per-msg" + suffix, extents, "calls");

    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, screen.width, screen.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CJOVDrawContext context(memory);
    int end = content.GetRect().bottom + 11 - screen.height;
    std::vector<double> paintEnd, paintTop;
    for (int i = 0; i < 7; ++i) {
        RECT all = {0, 0, screen.width, screen.height};
        FillRect(memory, &all, look.skin.GetBackgroundBrush(0));
        paintEnd.push_back(Time([&] { content.Draw(&context, end); }));
        paintTop.push_back(Time([&] { content.Draw(&context, 0); }));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    Row("paint-end" + suffix, paintEnd, "ms");
    Row("paint-top" + suffix, paintTop, "ms");

    std::vector<double> copyAll, find;
    size_t copied = 0;
    for (int i = 0; i < 5; ++i) {
        copyAll.push_back(Time([&] {
            CGrowingTextBuffer buffer;
            content.AppendAllText(buffer);
            copied = buffer.GetLength();
        }));
        CViewDrawContext dc(&view);
        content.ResetFind();
        find.push_back(Time([&] { content.Find(L"no such words here", {0, 0}, &dc); }));
    }
    Row("copy-all" + suffix, copyAll, "ms");
    Row("find-miss" + suffix, find, "ms");
    std::fprintf(stderr, "%s: %d messages, %zu characters copied\n", suffix.c_str() + 1, nodes, copied);
}

// length characters of words and blanks.
std::wstring Words(size_t length)
{
    static const wchar_t* const words[] = {L"hello", L"the", L"message", L"tomorrow", L"we", L"will", L"see",
                                           L"because", L"a", L"meeting", L"conversation", L"ok", L"photo"};
    std::wstring text;
    text.reserve(length + 16);
    for (size_t i = 0; text.size() < length; ++i) {
        text += words[i % (sizeof(words) / sizeof(words[0]))];
        text += L' ';
    }
    text.resize(length);
    return text;
}

// count link prefixes, each with a letter and a blank: "www.a www.a ...".
std::wstring LinkPrefixes(int count)
{
    std::wstring text;
    text.reserve(6 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        text += L"www.a ";
    return text;
}

// One message of 40,000 link prefixes (240,000 characters) added to an empty
// chat at 240 px with the platform's measuring and painted at its end, as a
// chat shows a message on arrival, against one of 240,000 characters of
// words: parsing, laying out and showing a message cost in proportion to its
// text, however many links it holds.
void RunOneLongMessage()
{
    const Screen screen = {"qvga", 96, 240, 320};
    CDensity density(screen.dpi);
    CGdiTextMeasurer gdi;
    CChatLook look;
    CTestChatView view(screen.width, screen.height, gdi, look.skin, look.settings);
    CGifAnimator animator;
    const std::wstring words = Words(240000), links = LinkPrefixes(40000);
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, screen.width, screen.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CJOVDrawContext context(memory);
    auto add = [&](const std::wstring& text) {
        CChatContent content(&view, 0);
        RECT start = {3, 1, 3 + screen.width - 6, 1};
        content.Layout(start);
        SMessage message;
        message.kind = SMessage::Incoming;
        message.subKind = 22;
        message.nick = L"Alice";
        message.time = L"(12:34:56)";
        message.text = text.c_str();
        RECT all = {0, 0, screen.width, screen.height};
        FillRect(memory, &all, look.skin.GetBackgroundBrush(0));
        return Time([&] {
            content.AddEvent(&message);
            content.Draw(&context, content.GetRect().bottom + 11 - screen.height);
        });
    };
    std::vector<double> addWords, addLinks;
    for (int i = 0; i < 7; ++i) {
        addWords.push_back(add(words));
        addLinks.push_back(add(links));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    Row("add-words-240k-qvga", addWords, "ms");
    Row("add-links-40k-qvga", addLinks, "ms", "add-words-240k", addWords);
}

} // namespace

int main()
{
    BeginRows();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    const Screen screens[] = {{"qvga", 96, 240, 320}, {"vga", 192, 480, 640}};
    for (const Screen& screen : screens) {
        Run(screen, 1000);
        Run(screen, 10000);
    }
    RunOneLongMessage();
    return 0;
}
