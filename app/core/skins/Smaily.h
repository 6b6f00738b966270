// One smiley of a smilies set: its text codes in file order (the first is the
// one inserted into an edit box), its GIF decoded into frames, and the frames
// composed once into screen bitmaps of the logical-screen size, each with its
// key colour and delay, for the animation.
//
// Threads: the set's loader thread fills it; the frames thread or the UI
// thread, whichever asks first, composes the frames under g_SmileyFramesLock.
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"
#include "messaging/GifLoad.h"

// Serialises every frame composition of every smiley; made before WinMain.
extern CRITICAL_SECTION g_SmileyFramesLock;

class CSmaily : public GifImage {
public:
    CSmaily();
    ~CSmaily();
    CSmaily(const CSmaily&) = delete;
    CSmaily& operator=(const CSmaily&) = delete;

    void AddCode(const wchar_t* code);
    int GetCodeCount() const { return m_codes.Count(); }
    // Empty outside the codes.
    CJOVString GetCode(int index) const;
    const CJOVArray<CJOVString>& GetCodes() const { return m_codes; }

    // Decodes the GIF file; a file that does not decode leaves no frame.
    void LoadFile(const CJOVString& path);
    const CJOVString& GetPath() const { return m_path; }

    // The logical screen of the GIF.
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    // The frames of the animation, composed or not yet.
    int GetFrameCount();

    // Each composes the frames first when needed; 0 for a frame out of range.
    // The bitmap stays the smiley's.
    HBITMAP GetFrameBitmap(int index);
    // The colour that stands for transparent pixels; CLR_INVALID (-1) when the
    // frame has no transparency (it is drawn whole).
    COLORREF GetFrameKeyColor(int index);
    // Milliseconds.
    int GetFrameDelay(int index);

    // Composes every frame once; frees the decoded frames afterwards.
    void RenderFrames();

    // What a frame without transparency is laid on.
    static constexpr COLORREF kOpaqueFill = 0x00FFFFFF;

private:
    void FreeComposed();

    CJOVArray<CJOVString> m_codes;
    CJOVString m_path;
    bool m_composed;
    int m_composedCount;
    HBITMAP* m_bitmaps;
    COLORREF* m_keyColours;
    int* m_delays;
};
