#include "clwindow/DrawRecorder.h"

#include <map>

namespace {

struct Reader {
    DrawRecording* recording;
    COLORREF textColor = RGB(0, 0, 0);
    std::map<DWORD, COLORREF> pens;  // metafile object index -> colour
    COLORREF pen = RGB(0, 0, 0);
    POINT position = {0, 0};
};

COLORREF VertexColor(const TRIVERTEX& vertex)
{
    // The drawing spreads each 8-bit channel c over 16 bits as c * 255.
    return RGB(vertex.Red / 255, vertex.Green / 255, vertex.Blue / 255);
}

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param)
{
    Reader& reader = *reinterpret_cast<Reader*>(param);
    switch (record->iType) {
    case EMR_SETTEXTCOLOR:
        reader.textColor = reinterpret_cast<const EMRSETTEXTCOLOR*>(record)->crColor;
        break;
    case EMR_EXTTEXTOUTW: {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                              text->emrtext.offString);
        reader.recording->texts.push_back(
            {std::wstring(chars, text->emrtext.nChars), reader.textColor,
             POINT{text->emrtext.ptlReference.x, text->emrtext.ptlReference.y}});
        break;
    }
    case EMR_CREATEPEN: {
        const auto* pen = reinterpret_cast<const EMRCREATEPEN*>(record);
        reader.pens[pen->ihPen] = pen->lopn.lopnColor;
        break;
    }
    case EMR_SELECTOBJECT: {
        const DWORD object = reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject;
        auto found = reader.pens.find(object);
        if (found != reader.pens.end())
            reader.pen = found->second;
        else if (object == (0x80000000 | BLACK_PEN))
            reader.pen = RGB(0, 0, 0);
        break;
    }
    case EMR_MOVETOEX: {
        const POINTL& point = reinterpret_cast<const EMRMOVETOEX*>(record)->ptl;
        reader.position = POINT{point.x, point.y};
        break;
    }
    case EMR_LINETO: {
        const POINTL& point = reinterpret_cast<const EMRLINETO*>(record)->ptl;
        reader.recording->lines.push_back({reader.position, POINT{point.x, point.y}, reader.pen});
        reader.position = POINT{point.x, point.y};
        break;
    }
    case EMR_GRADIENTFILL: {
        const auto* fill = reinterpret_cast<const EMRGRADIENTFILL*>(record);
        if (fill->nVer >= 2) {
            const TRIVERTEX* vertices = fill->Ver;
            reader.recording->gradients.push_back(
                {RECT{vertices[0].x, vertices[0].y, vertices[1].x, vertices[1].y}, VertexColor(vertices[0]),
                 VertexColor(vertices[1])});
        }
        break;
    }
    default:
        break;
    }
    return 1;
}

} // namespace

const DrawnText* DrawRecording::Find(const std::wstring& text) const
{
    for (const DrawnText& drawn : texts) {
        if (drawn.text == text)
            return &drawn;
    }
    return nullptr;
}

DrawRecording RecordDrawing(const std::function<void(HDC)>& draw)
{
    DrawRecording recording;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
    if (!dc)
        return recording;
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    draw(dc);
    HENHMETAFILE file = CloseEnhMetaFile(dc);
    if (!file)
        return recording;
    Reader reader;
    reader.recording = &recording;
    EnumEnhMetaFile(nullptr, file, Collect, &reader, nullptr);
    DeleteEnhMetaFile(file);
    return recording;
}
