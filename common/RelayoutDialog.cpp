// Dialog templates come in two layouts (the extended one begins 1, 0xFFFF);
// only the item rectangles are needed, the rest is stepped over.
#include <vector>

#include "HiDpi.h"

namespace {

class CTemplateReader {
public:
    CTemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size), m_offset(0), m_ok(true) {}

    bool Ok() const { return m_ok; }

    WORD Word()
    {
        if (m_offset + 2 > m_size) {
            m_ok = false;
            return 0;
        }
        WORD value = static_cast<WORD>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        m_offset += 2;
        return value;
    }

    DWORD Dword()
    {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }

    void Skip(size_t bytes)
    {
        if (m_offset + bytes > m_size)
            m_ok = false;
        else
            m_offset += bytes;
    }

    // A name or ordinal: 0 (none), 0xFFFF and an ordinal, or a string.
    void SkipNameOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            Word();
        else if (first != 0)
            SkipString();
    }

    void SkipString()
    {
        while (m_ok && Word() != 0) {
        }
    }

    void AlignDword() { Skip((4 - m_offset % 4) % 4); }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_offset;
    bool m_ok;
};

bool ReadItemRects(const BYTE* data, size_t size, std::vector<RECT>* rects)
{
    CTemplateReader reader(data, size);
    WORD version = reader.Word();
    WORD signature = reader.Word();
    bool extended = version == 1 && signature == 0xFFFF;
    DWORD style;
    if (extended) {
        reader.Dword();  // help id
        reader.Dword();  // extended style
        style = reader.Dword();
    } else {
        style = version | (static_cast<DWORD>(signature) << 16);
        reader.Dword();  // extended style
    }
    int count = reader.Word();
    reader.Skip(8);  // x, y, cx, cy
    reader.SkipNameOrOrdinal();  // menu
    reader.SkipNameOrOrdinal();  // class
    reader.SkipString();         // title
    if (style & DS_SETFONT) {
        reader.Word();  // point size
        if (extended)
            reader.Skip(4);  // weight, italic, character set
        reader.SkipString();
    }
    for (int i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignDword();
        reader.Skip(extended ? 12 : 8);  // (help id,) styles
        RECT rect;
        rect.left = static_cast<short>(reader.Word());
        rect.top = static_cast<short>(reader.Word());
        rect.right = rect.left + static_cast<short>(reader.Word());
        rect.bottom = rect.top + static_cast<short>(reader.Word());
        reader.Skip(extended ? 4 : 2);  // id
        reader.SkipNameOrOrdinal();      // class
        reader.SkipNameOrOrdinal();      // title
        reader.Skip(reader.Word());      // creation data
        rects->push_back(rect);
    }
    return reader.Ok();
}

} // namespace

BOOL RelayoutDialog(HINSTANCE instance, HWND dialog, LPCWSTR templateName)
{
    HRSRC found = FindResourceW(instance, templateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    std::vector<RECT> rects;
    if (!data || !IsWindow(dialog) || !ReadItemRects(data, SizeofResource(instance, found), &rects))
        return FALSE;
    // The dialog's controls were made from its own template, in item order.
    size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        if (index >= rects.size())
            return FALSE;
        RECT rect = rects[index];
        MapDialogRect(dialog, &rect);
        SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return index == rects.size();
}
