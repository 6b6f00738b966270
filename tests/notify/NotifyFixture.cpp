#include "notify/NotifyFixture.h"

namespace {

std::mutex s_answersLock;
std::vector<Answer> s_answers;

} // namespace

void CFakeNotifyHost::DrawImage(int imageId, HDC dc, const RECT& rect)
{
    if (onDraw)
        onDraw(imageId);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        drawnOn.push_back(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    auto fill = [dc](COLORREF color) { return SelectObject(dc, CreateSolidBrush(color)); };
    HGDIOBJ oldBrush = nullptr;
    switch (imageId) {
    case CNotificationsManager::kImageInfo: {  // a blue disc with a white bar
        oldBrush = fill(RGB(0x20, 0x60, 0xD0));
        Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
        Rectangle(dc, rect.left + width * 7 / 16, rect.top + height / 4, rect.left + width * 9 / 16 + 1,
                  rect.bottom - height / 5);
        break;
    }
    case CNotificationsManager::kImageWarning: {  // a yellow triangle
        oldBrush = fill(RGB(0xF0, 0xC0, 0x10));
        POINT points[3] = {{rect.left + width / 2, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}};
        Polygon(dc, points, 3);
        break;
    }
    case kImageMessage: {  // a green envelope
        oldBrush = fill(RGB(0x30, 0xA0, 0x40));
        Rectangle(dc, rect.left, rect.top + height / 4, rect.right + 1, rect.bottom - height / 8 + 1);
        break;
    }
    case kImageOnline:  // a green disc
    case kImageAway: {  // an orange one
        oldBrush = fill(imageId == kImageOnline ? RGB(0x20, 0xC0, 0x30) : RGB(0xF0, 0x90, 0x10));
        Ellipse(dc, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
        break;
    }
    default:
        break;
    }
    if (oldBrush)
        DeleteObject(SelectObject(dc, oldBrush));
    SelectObject(dc, oldPen);
}

void Pump(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    CStopwatch watch;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (watch.Ms() >= ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

bool BubbleState(Platform::NotificationState* state)
{
    return Platform::GetNotificationState(CNotificationsManager::BubbleClsid(), CNotificationsManager::kBubbleId,
                                          state);
}

bool WaitForBubble(Platform::NotificationState* state, DWORD ms, const std::wstring& other)
{
    return PumpUntil([&] { return BubbleState(state) && (other.empty() || state->title != other); }, ms);
}

bool WaitForNoBubble(DWORD ms)
{
    Platform::NotificationState state;
    return PumpUntil([&] { return !BubbleState(&state); }, ms);
}

std::wstring Label(const Platform::NotificationState& state)
{
    return state.title + L": " + Platform::BubbleHtmlText(state.html);
}

std::vector<Answer> TakeAnswers()
{
    std::lock_guard<std::mutex> hold(s_answersLock);
    std::vector<Answer> answers;
    answers.swap(s_answers);
    return answers;
}

void RecordAnswer(unsigned int serial, BOOL open)
{
    std::lock_guard<std::mutex> hold(s_answersLock);
    s_answers.push_back(Answer{serial, open});
}
