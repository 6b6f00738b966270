// What the chat and the smiley controls use of the loaded smilies set:
// smilies by index in set order, each with its text codes in order, its
// picture's size and frame count, and its rendered frames.
// Any thread: the ticker reads frames while the UI thread paints them.
#pragma once

#include <windows.h>

#include "JOVString.h"

class CChatSmilies {
public:
    virtual int GetCount() = 0;
    // Codes in their order; the first is the one inserted into an edit box.
    virtual int GetCodeCount(int smiley) = 0;
    virtual CJOVString GetCode(int smiley, int code) = 0;
    virtual int GetWidth(int smiley) = 0;
    virtual int GetHeight(int smiley) = 0;
    virtual int GetFrameCount(int smiley) = 0;
    // 0 for a frame out of range.
    virtual HBITMAP GetFrameBitmap(int smiley, int frame) = 0;
    // -1 when the frame has no transparency.
    virtual int GetFrameKeyColor(int smiley, int frame) = 0;
    // Milliseconds.
    virtual int GetFrameDelay(int smiley, int frame) = 0;

protected:
    ~CChatSmilies() = default;
};
