#include "core/notify/BubbleHtml.h"

#include <cwchar>
#include <string>

namespace {

const int kMaxSmileyImages = 5;

void AppendEscaped(std::wstring& out, wchar_t c)
{
    switch (c) {
    case L'&':
        out += L"&amp;";
        break;
    case L'<':
        out += L"&lt;";
        break;
    case L'>':
        out += L"&gt;";
        break;
    case L'"':
        out += L"&quot;";
        break;
    default:
        out += c;
    }
}

std::wstring Escaped(const CJOVString& text)
{
    std::wstring out;
    const wchar_t* data = text.Data();
    for (int i = 0; i < text.GetLength(); ++i)
        AppendEscaped(out, data[i]);
    return out;
}

bool CodeAt(const CJOVString& text, int at, const CJOVString& code)
{
    int length = code.GetLength();
    return length > 0 && at + length <= text.GetLength() &&
           std::wmemcmp(text.Data() + at, code.Data(), static_cast<size_t>(length)) == 0;
}

// The length of the smiley code at that place, and its smiley; 0 for none.
int SmileyAt(const CJOVString& text, int at, const std::vector<BubbleSmiley>& smilies, const BubbleSmiley** found)
{
    for (const BubbleSmiley& smiley : smilies) {
        for (const CJOVString& code : smiley.codes) {
            if (CodeAt(text, at, code)) {
                *found = &smiley;
                return code.GetLength();
            }
        }
    }
    return 0;
}

} // namespace

CJOVString EscapeBubbleText(const CJOVString& text)
{
    return CJOVString(Escaped(text).c_str());
}

CJOVString TextToBubbleHtml(const CJOVString& text, const std::vector<BubbleSmiley>& smilies)
{
    std::wstring out;
    const wchar_t* data = text.Data();
    int images = 0;
    int at = 0;
    while (at < text.GetLength()) {
        if (data[at] == L'\r' && at + 1 < text.GetLength() && data[at + 1] == L'\n') {
            out += L"<br>";
            at += 2;
            continue;
        }
        const BubbleSmiley* smiley = nullptr;
        int length = images < kMaxSmileyImages ? SmileyAt(text, at, smilies, &smiley) : 0;
        if (length > 0) {
            out += L"<img src=\"file:\\\\" + Escaped(smiley->imagePath) +
                   L"\" style=\"vertical-align:middle\" border=\"0\" />";
            ++images;
            at += length;
            continue;
        }
        AppendEscaped(out, data[at]);
        ++at;
    }
    return CJOVString(out.c_str());
}

CJOVString PlainTextToBubbleHtml(const CJOVString& text)
{
    return TextToBubbleHtml(text, std::vector<BubbleSmiley>());
}

CJOVString StatusBubbleHtml(const CJOVString& alias, const CJOVString& statusWord, bool online,
                            const CJOVString& protocolName, const CJOVString& accountName)
{
    std::wstring html = L"<center><B>[ " + Escaped(alias) + L" ]</B></center><center>";
    html += online ? L"<font color=\"#000088\"><B>" : L"<font color=\"#880000\"><B>";
    html += Escaped(statusWord) + L"</B></font></center><br><center>" + Escaped(protocolName) + L" " +
            Escaped(accountName) + L"</center>";
    return CJOVString(html.c_str());
}
