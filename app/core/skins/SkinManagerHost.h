// What the skin manager needs of the windows when the user's choice changes:
// the identifier of "Lan changed", the messaging window that hears of a new
// smilies set, and the smiley animation to stop before a set goes. The
// program passes one over its globals; tests pass their own.
#pragma once

#include <windows.h>

namespace Skins {

// To the messaging window: word parameter 0 before the smilies set goes, 1
// once the new set (or the text smilies) is in place.
constexpr UINT kSmiliesChangeMessage = WM_USER + 105;

class CSkinManagerHost {
public:
    // 0 when the event is not declared yet.
    virtual unsigned int GetLanChangedEventId() = 0;
    // Null while there is none.
    virtual HWND GetMessageWindow() = 0;
    virtual void StopSmileyAnimation() = 0;

protected:
    ~CSkinManagerHost() = default;
};

} // namespace Skins
