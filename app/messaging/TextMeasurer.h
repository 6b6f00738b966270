// Measures text on a device context with the font it holds: one call gives
// the width of every prefix, so that layout never measures pieces again.
// UI thread.
#pragma once

#include <windows.h>

#include <vector>

class CTextMeasurer {
public:
    virtual ~CTextMeasurer() = default;
    // extents[i] = the width of the first i + 1 characters; *size the whole
    // text's width and height. False when the text could not be measured.
    virtual bool GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size) = 0;
};

// GetTextExtentExPointW.
class CGdiTextMeasurer : public CTextMeasurer {
public:
    bool GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size) override;
};

// widths[0] = 0 and widths[i] = the width of the first i characters (count + 1
// entries); answers the text's height. A failed measure gives zero widths.
int MeasurePrefixes(CTextMeasurer& measurer, HDC dc, const wchar_t* text, int count, std::vector<int>& widths);

// Selects a font into a device context for the life of a scope.
class CFontSelection {
public:
    CFontSelection(HDC dc, HFONT font) : m_dc(dc), m_old(SelectObject(dc, font)) {}
    ~CFontSelection() { SelectObject(m_dc, m_old); }
    CFontSelection(const CFontSelection&) = delete;
    CFontSelection& operator=(const CFontSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};
