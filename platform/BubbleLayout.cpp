#include "BubbleLayout.h"

#include <wincodec.h>

#include <cwctype>
#include <utility>

#include "Screen.h"

namespace {

const int kFontUnits = 12;

int Scale(int units)
{
    return (units * Platform::GetScreenDpiY() + 48) / 96;
}

// The text's width in dc's font, and each character's advance in it: the
// font may draw other advances than it measures, and the paint keeps these.
int Measure(HDC dc, const std::wstring& text, size_t count, std::vector<int>* advances)
{
    advances->assign(count, 0);
    SIZE size = {};
    if (count == 0 || !GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(count), 0, nullptr,
                                             advances->data(), &size)) {
        advances->assign(count, 0);
        return 0;
    }
    for (size_t i = count - 1; i > 0; --i)
        (*advances)[i] -= (*advances)[i - 1];
    return size.cx;
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// name="value", name='value' or name=value; empty when absent.
std::wstring Attribute(const std::wstring& tag, const wchar_t* name)
{
    std::wstring lower = Lower(tag);
    std::wstring key(name);
    size_t at = 0;
    while ((at = lower.find(key, at)) != std::wstring::npos) {
        bool startsWord = at > 0 && std::iswspace(lower[at - 1]);
        size_t eq = at + key.size();
        while (eq < tag.size() && std::iswspace(tag[eq]))
            ++eq;
        if (!startsWord || eq >= tag.size() || tag[eq] != L'=') {
            at += key.size();
            continue;
        }
        size_t start = eq + 1;
        while (start < tag.size() && std::iswspace(tag[start]))
            ++start;
        if (start >= tag.size())
            return std::wstring();
        wchar_t quote = tag[start];
        if (quote == L'"' || quote == L'\'') {
            size_t end = tag.find(quote, start + 1);
            return tag.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
        }
        size_t end = start;
        while (end < tag.size() && !std::iswspace(tag[end]) && tag[end] != L'/')
            ++end;
        return tag.substr(start, end - start);
    }
    return std::wstring();
}

bool ParseColor(const std::wstring& text, COLORREF* color)
{
    std::wstring hex = text.size() == 7 && text[0] == L'#' ? text.substr(1) : text;
    if (hex.size() != 6)
        return false;
    unsigned value = 0;
    for (wchar_t c : hex) {
        if (!std::iswxdigit(c))
            return false;
        value = value * 16 + (std::iswdigit(c) ? c - L'0' : std::towlower(c) - L'a' + 10);
    }
    *color = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    return true;
}

// "file:\\C:\x.gif", "file:///C:/x.gif" or a bare path.
std::wstring ImagePath(std::wstring src)
{
    if (Lower(src.substr(0, 5)) == L"file:") {
        src = src.substr(5);
        size_t slashes = 0;
        while (slashes < src.size() && slashes < 3 && (src[slashes] == L'\\' || src[slashes] == L'/'))
            ++slashes;
        src = src.substr(slashes);
    }
    return src;
}

struct Parser {
    std::vector<Platform::BubbleRun> runs;
    std::wstring text;
    int boldDepth = 0;
    std::vector<COLORREF> colors;
    bool centered = false;

    Platform::BubbleRun Styled(Platform::BubbleRun::Kind kind) const
    {
        Platform::BubbleRun run;
        run.kind = kind;
        run.bold = boldDepth > 0;
        run.centered = centered;
        run.color = colors.empty() ? RGB(0, 0, 0) : colors.back();
        return run;
    }

    void Flush()
    {
        if (text.empty())
            return;
        Platform::BubbleRun run = Styled(Platform::BubbleRun::Text);
        run.text.swap(text);
        runs.push_back(std::move(run));
    }

    void Break()
    {
        Flush();
        runs.push_back(Styled(Platform::BubbleRun::Break));
    }

    bool AtLineStart() const { return runs.empty() || runs.back().kind == Platform::BubbleRun::Break; }

    void Tag(const std::wstring& tag)
    {
        bool closing = !tag.empty() && tag[0] == L'/';
        size_t start = closing ? 1 : 0;
        size_t end = start;
        while (end < tag.size() && std::iswalnum(tag[end]))
            ++end;
        std::wstring name = Lower(tag.substr(start, end - start));
        if (name == L"b") {
            Flush();
            boldDepth = closing ? (boldDepth > 0 ? boldDepth - 1 : 0) : boldDepth + 1;
        } else if (name == L"br") {
            Break();
        } else if (name == L"center") {
            Flush();
            if (!closing && !AtLineStart())
                Break();
            if (closing && !AtLineStart())
                Break();
            centered = !closing;
        } else if (name == L"font") {
            Flush();
            COLORREF color;
            if (closing) {
                if (!colors.empty())
                    colors.pop_back();
            } else {
                colors.push_back(ParseColor(Attribute(tag, L"color"), &color) ? color
                                 : colors.empty()                           ? RGB(0, 0, 0)
                                                                            : colors.back());
            }
        } else if (name == L"img" && !closing) {
            std::wstring path = ImagePath(Attribute(tag, L"src"));
            if (!path.empty()) {
                Flush();
                Platform::BubbleRun run = Styled(Platform::BubbleRun::Image);
                run.text = path;
                runs.push_back(std::move(run));
            }
        }
    }
};

const struct {
    const wchar_t* name;
    wchar_t character;
} kEntities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}};

} // namespace

namespace Platform {

std::vector<BubbleRun> ParseBubbleHtml(const std::wstring& html)
{
    Parser parser;
    size_t i = 0;
    while (i < html.size()) {
        wchar_t c = html[i];
        if (c == L'<') {
            size_t close = html.find(L'>', i + 1);
            if (close != std::wstring::npos) {
                parser.Tag(html.substr(i + 1, close - i - 1));
                i = close + 1;
                continue;
            }
        } else if (c == L'&') {
            bool matched = false;
            for (const auto& entity : kEntities) {
                size_t length = wcslen(entity.name);
                if (html.compare(i, length, entity.name) == 0) {
                    parser.text += entity.character;
                    i += length;
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
        } else if (c == L'\r' || c == L'\n' || c == L'\t') {
            c = L' ';
        }
        parser.text += c;
        ++i;
    }
    parser.Flush();
    return parser.runs;
}

std::wstring BubbleHtmlText(const std::wstring& html)
{
    std::wstring text;
    for (const BubbleRun& run : ParseBubbleHtml(html)) {
        if (run.kind == BubbleRun::Break)
            text += L'\n';
        else if (run.kind == BubbleRun::Image)
            text += L"[img]";
        else
            text += run.text;
    }
    // The break that ends the last line adds no line.
    if (!text.empty() && text.back() == L'\n')
        text.pop_back();
    return text;
}

} // namespace Platform

CBubbleLayout::CBubbleLayout()
{
    m_font = CreateFontW(-Scale(kFontUnits), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    m_boldFont = CreateFontW(-Scale(kFontUnits), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

CBubbleLayout::~CBubbleLayout()
{
    for (auto& entry : m_images) {
        if (entry.second.bitmap)
            DeleteObject(entry.second.bitmap);
    }
    DeleteObject(m_font);
    DeleteObject(m_boldFont);
}

// Decoded by the system's imaging codecs (PNG, GIF, BMP, JPEG) into
// premultiplied 32-bit pixels; a file that cannot be read gives no image.
const CBubbleLayout::Image* CBubbleLayout::LoadImage(const std::wstring& path)
{
    auto found = m_images.find(path);
    if (found != m_images.end())
        return found->second.bitmap ? &found->second : nullptr;
    Image image = {nullptr, 0, 0};
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 1024 &&
        height <= 1024) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = static_cast<LONG>(width);
        info.bmiHeader.biHeight = -static_cast<LONG>(height);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                      static_cast<BYTE*>(bits)))) {
            image = {bitmap, static_cast<int>(width), static_cast<int>(height)};
        } else if (bitmap) {
            DeleteObject(bitmap);
        }
    }
    if (converter)
        converter->Release();
    if (frame)
        frame->Release();
    if (decoder)
        decoder->Release();
    if (factory)
        factory->Release();
    auto stored = m_images.emplace(path, image).first;
    return image.bitmap ? &stored->second : nullptr;
}

void CBubbleLayout::EndLine(std::vector<Line>& lines, Line& line, int width, int lineHeight) const
{
    // Spaces that ended the line take no room.
    while (!line.pieces.empty() && line.pieces.back().run->kind == Platform::BubbleRun::Text &&
           line.pieces.back().text.find_first_not_of(L' ') == std::wstring::npos)
        line.pieces.pop_back();
    // Words of one run on one line are drawn as one string.
    std::vector<Piece> merged;
    for (Piece& piece : line.pieces) {
        Piece* last = merged.empty() ? nullptr : &merged.back();
        if (last && last->run == piece.run && piece.run->kind == Platform::BubbleRun::Text && !last->text.empty()) {
            last->advances.back() += piece.x - (last->x + last->width);
            last->text += piece.text;
            last->advances.insert(last->advances.end(), piece.advances.begin(), piece.advances.end());
            last->width = piece.x + piece.width - last->x;
        } else {
            merged.push_back(std::move(piece));
        }
    }
    line.pieces.swap(merged);
    line.height = lineHeight;
    int right = 0;
    for (const Piece& piece : line.pieces) {
        line.height = piece.height > line.height ? piece.height : line.height;
        right = piece.x + piece.width;
    }
    if (line.centered && right < width) {
        for (Piece& piece : line.pieces)
            piece.x += (width - right) / 2;
    }
    lines.push_back(std::move(line));
    line = Line{0, 0, {}, false};
}

int CBubbleLayout::Layout(HDC dc, const std::wstring& html, int width)
{
    m_runs = Platform::ParseBubbleHtml(html);
    m_lines.clear();
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    int lineHeight = metrics.tmHeight;
    int dpi = Platform::GetScreenDpiY();
    Line line{0, 0, {}, false};
    int x = 0;
    auto startPiece = [&](const Platform::BubbleRun& run) {
        if (line.pieces.empty())
            line.centered = run.centered;
    };
    for (const Platform::BubbleRun& run : m_runs) {
        if (run.kind == Platform::BubbleRun::Break) {
            if (line.pieces.empty())
                m_lines.push_back(Line{0, lineHeight, {}, false});
            else
                EndLine(m_lines, line, width, lineHeight);
            x = 0;
            continue;
        }
        if (run.kind == Platform::BubbleRun::Image) {
            const Image* image = LoadImage(run.text);
            if (!image)
                continue;
            int w = (image->width * dpi + 48) / 96;
            int h = (image->height * dpi + 48) / 96;
            if (x > 0 && x + w > width) {
                EndLine(m_lines, line, width, lineHeight);
                x = 0;
            }
            startPiece(run);
            line.pieces.push_back(Piece{x, w, h, &run, std::wstring(), {}});
            x += w;
            continue;
        }
        SelectObject(dc, FontFor(run.bold));
        size_t at = 0;
        while (at < run.text.size()) {
            bool space = run.text[at] == L' ';
            size_t end = at;
            while (end < run.text.size() && (run.text[end] == L' ') == space)
                ++end;
            std::wstring token = run.text.substr(at, end - at);
            at = end;
            if (space && x == 0)
                continue;
            std::vector<int> advances;
            int tokenWidth = Measure(dc, token, token.size(), &advances);
            if (x + tokenWidth > width && x > 0) {
                EndLine(m_lines, line, width, lineHeight);
                x = 0;
                if (space)
                    continue;
            }
            // A word wider than the bubble is cut where it no longer fits.
            while (!space && tokenWidth > width && token.size() > 1) {
                size_t fit = 0;
                for (int used = 0; fit < token.size() && used + advances[fit] <= width; ++fit)
                    used += advances[fit];
                fit = fit < 1 ? 1 : fit;
                startPiece(run);
                std::vector<int> part;
                const int partWidth = Measure(dc, token, fit, &part);
                line.pieces.push_back(Piece{0, partWidth, lineHeight, &run, token.substr(0, fit), std::move(part)});
                EndLine(m_lines, line, width, lineHeight);
                token = token.substr(fit);
                tokenWidth = Measure(dc, token, token.size(), &advances);
            }
            startPiece(run);
            line.pieces.push_back(Piece{x, tokenWidth, lineHeight, &run, token, std::move(advances)});
            x += tokenWidth;
        }
    }
    if (!line.pieces.empty())
        EndLine(m_lines, line, width, lineHeight);
    SelectObject(dc, oldFont);
    int top = 0;
    for (Line& each : m_lines) {
        each.top = top;
        top += each.height;
    }
    return top;
}

void CBubbleLayout::Paint(HDC dc, int left, int top) const
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    HDC memory = CreateCompatibleDC(dc);
    for (const Line& line : m_lines) {
        for (const Piece& piece : line.pieces) {
            int y = top + line.top + (line.height - piece.height) / 2;
            if (piece.run->kind == Platform::BubbleRun::Image) {
                auto found = m_images.find(piece.run->text);
                if (found == m_images.end() || !found->second.bitmap || !memory)
                    continue;
                HGDIOBJ old = SelectObject(memory, found->second.bitmap);
                BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(dc, left + piece.x, y, piece.width, piece.height, memory, 0, 0, found->second.width,
                           found->second.height, blend);
                SelectObject(memory, old);
            } else {
                SelectObject(dc, FontFor(piece.run->bold));
                SetTextColor(dc, piece.run->color);
                ExtTextOutW(dc, left + piece.x, y, 0, nullptr, piece.text.c_str(),
                            static_cast<UINT>(piece.text.size()), piece.advances.data());
            }
        }
    }
    if (memory)
        DeleteDC(memory);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}
