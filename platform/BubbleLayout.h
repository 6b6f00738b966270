// The HTML subset of notification bubbles: <center>, <b>, <br>,
// <font color="#RRGGBB">, <img src="file:\\path"> and the entities &amp;
// &lt; &gt; &quot;. Other tags are left out; text outside tags is shown as it
// stands. Layout wraps words to the bubble's width; images keep their size,
// scaled to the screen's density, and sit in the middle of their line.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "PlatformApi.h"

namespace Platform {

struct BubbleRun {
    enum Kind { Text, Image, Break } kind = Text;
    std::wstring text;       // Text: the decoded characters; Image: the file's path
    bool bold = false;
    bool centered = false;   // the run's line is centred
    COLORREF color = RGB(0, 0, 0);
};

JOV_PLATFORM_API std::vector<BubbleRun> ParseBubbleHtml(const std::wstring& html);
// The text a reader sees, lines joined by "\n" and each image as "[img]".
JOV_PLATFORM_API std::wstring BubbleHtmlText(const std::wstring& html);

} // namespace Platform

// Lays the runs out in a width and paints them, each character where the
// measure put it. Images are loaded once per path. The thread that paints
// (the bubble thread).
class JOV_PLATFORM_API CBubbleLayout {
public:
    CBubbleLayout();
    ~CBubbleLayout();
    CBubbleLayout(const CBubbleLayout&) = delete;
    CBubbleLayout& operator=(const CBubbleLayout&) = delete;

    // The height the body needs in that width.
    int Layout(HDC dc, const std::wstring& html, int width);
    void Paint(HDC dc, int left, int top) const;

private:
    struct Piece {
        int x, width, height;
        const Platform::BubbleRun* run;
        std::wstring text;
        std::vector<int> advances;  // of each character, as measured
    };
    struct Line {
        int top, height;
        std::vector<Piece> pieces;
        bool centered;
    };
    struct Image {
        HBITMAP bitmap;
        int width, height;
    };

    const Image* LoadImage(const std::wstring& path);
    HFONT FontFor(bool bold) const { return bold ? m_boldFont : m_font; }
    void EndLine(std::vector<Line>& lines, Line& line, int width, int lineHeight) const;

    std::vector<Platform::BubbleRun> m_runs;
    std::vector<Line> m_lines;
    std::map<std::wstring, Image> m_images;
    HFONT m_font;
    HFONT m_boldFont;
};
