// Times the chat content with 1,000 and 10,000 messages of mixed lengths,
// some with smilies and links, on the pocket screen (240 px at 96 dpi) and
// the VGA one (480 px at 192 dpi). Prints one row a figure for the
// benchmarks runner: figure, median, min, max, unit, baseline, baseline median.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat/ChatFakes.h"
#include "messaging/ChatContent.h"
#include "messaging/ChatEntry.h"
#include "messaging/FindText.h"
#include "messaging/GifAnimator.h"
#include "messaging/GrowingTextBuffer.h"

namespace {

struct Figure {
    std::vector<double> samples;
    double Median() const
    {
        std::vector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    double Min() const { return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end()); }
    double Max() const { return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end()); }
};

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Time(const std::function<void()>& work)
{
    double start = NowMs();
    work();
    return NowMs() - start;
}

void Row(const std::string& figure, const Figure& f, const char* unit, const std::string& baseline = "-",
         double baselineMedian = -1)
{
    std::string base = baselineMedian < 0 ? "-" : std::to_string(baselineMedian);
    std::printf("%s\t%.3f\t%.3f\t%.3f\t%s\t%s\t%s\n", figure.c_str(), f.Median(), f.Min(), f.Max(), unit,
                baseline.c_str(), base.c_str());
    std::fflush(stdout);
}

// Deterministic messages: words of mixed lengths, now and then a smiley, a
// link or a line break.
class CMessageMaker {
public:
    SMessage Next()
    {
        SMessage message;
        bool mine = Random(3) == 0;
        message.kind = mine ? SMessage::Outgoing : SMessage::Incoming;
        message.subKind = mine ? 23 : 22;
        message.nick = mine ? L"I" : L"Alice";
        message.time = L"(12:34:56)";
        int words = 1 + Random(Random(4) == 0 ? 60 : 12);
        std::wstring text;
        for (int i = 0; i < words; ++i) {
            if (i)
                text += Random(25) == 0 ? L"\n" : L" ";
            int kind = Random(40);
            if (kind == 0)
                text += kCodes[Random(kCodeCount)];
            else if (kind == 1)
                text += L"www.example.org/page" + std::to_wstring(Random(1000));
            else
                text += kWords[Random(kWordCount)];
        }
        message.text = text.c_str();
        return message;
    }

    static constexpr const wchar_t* kCodes[] = {L":)", L";)", L":D", L":(", L"8)", L":P"};
    static constexpr int kCodeCount = 6;

private:
    int Random(int n)
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 16) % static_cast<unsigned>(n));
    }

    static constexpr const wchar_t* kWords[] = {L"a", L"the", L"message", L"hello", L"tomorrow", L"ok",
                                                L"internationalisation", L"we", L"will", L"see", L"photo",
                                                L"yes", L"because", L"meeting", L"x", L"conversation"};
    static constexpr int kWordCount = 16;
    unsigned m_state = 12345u;
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
    CFakeSmilies smilies;
    for (int i = 0; i < CMessageMaker::kCodeCount; ++i)
        smilies.Add({CMessageMaker::kCodes[i]}, HIDPI_ScaleX(15), HIDPI_ScaleY(15),
                    {RGB(250, 200, 40), RGB(250, 160, 40)}, {150, 150});
    CFakeSkin skin(&smilies);
    MessageWndSettings settings(nullptr, nullptr);
    settings.SetChatFlags({1, 1, 0});
    CTestChatView view(screen.width, screen.height, counting, skin, settings);
    CGifAnimator animator;
    CChatContent content(&view, 0);
    const int narrow = screen.width - 6, wide = screen.width - 6 - HIDPI_ScaleX(40);
    RECT start = {3, 1, 3 + narrow, 1};
    content.Layout(start);

    std::string suffix = "-" + std::to_string(count / 1000) + "k-" + screen.name;
    CMessageMaker maker;
    Figure addAll;
    addAll.samples.push_back(Time([&] {
        for (int i = 0; i < count; ++i) {
            SMessage message = maker.Next();
            content.AddEvent(&message);
        }
    }));
    Row("add-all" + suffix, addAll, "ms");

    Figure addOne;
    for (int i = 0; i < 15; ++i) {
        SMessage message = maker.Next();
        addOne.samples.push_back(Time([&] { content.AddEvent(&message); }));
    }
    Row("add-one" + suffix, addOne, "ms");

    int nodes = content.GetNodeCount();
    Figure relayoutFixed, relayoutGdi, extents;
    for (int i = 0; i < 5; ++i) {
        view.SetMeasurer(fixed);
        RECT rect = {3, 1, 3 + (i % 2 ? narrow : wide), 1};
        relayoutFixed.samples.push_back(Time([&] { content.Layout(rect); }));
        view.SetMeasurer(counting);
        RECT other = {3, 1, 3 + (i % 2 ? wide : narrow), 1};
        long long before = counting.calls;
        relayoutGdi.samples.push_back(Time([&] { content.Layout(other); }));
        extents.samples.push_back(static_cast<double>(counting.calls - before) / nodes);
    }
    Row("relayout-fixed" + suffix, relayoutFixed, "ms");
    Row("relayout-gdi" + suffix, relayoutGdi, "ms", "relayout-fixed" + suffix, relayoutFixed.Median());
    Row("extents-per-msg" + suffix, extents, "calls");

    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, screen.width, screen.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CJOVDrawContext context(memory);
    int end = content.GetRect().bottom + 11 - screen.height;
    Figure paintEnd, paintTop;
    for (int i = 0; i < 7; ++i) {
        RECT all = {0, 0, screen.width, screen.height};
        FillRect(memory, &all, skin.GetBackgroundBrush(0));
        paintEnd.samples.push_back(Time([&] { content.Draw(&context, end); }));
        paintTop.samples.push_back(Time([&] { content.Draw(&context, 0); }));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    Row("paint-end" + suffix, paintEnd, "ms");
    Row("paint-top" + suffix, paintTop, "ms");

    Figure copyAll, find;
    size_t copied = 0;
    for (int i = 0; i < 5; ++i) {
        copyAll.samples.push_back(Time([&] {
            CGrowingTextBuffer buffer;
            content.AppendAllText(buffer);
            copied = buffer.GetLength();
        }));
        CViewDrawContext dc(&view);
        content.ResetFind();
        find.samples.push_back(Time([&] { content.Find(L"no such words here", {0, 0}, &dc); }));
    }
    Row("copy-all" + suffix, copyAll, "ms");
    Row("find-miss" + suffix, find, "ms");
    std::fprintf(stderr, "%s: %d messages, %zu characters copied\n", suffix.c_str() + 1, nodes, copied);
}

} // namespace

int main()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    const Screen screens[] = {{"qvga", 96, 240, 320}, {"vga", 192, 480, 640}};
    for (const Screen& screen : screens) {
        Run(screen, 1000);
        Run(screen, 10000);
    }
    return 0;
}
