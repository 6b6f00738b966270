#include "messaging/GifPlayer.h"

#include "CriticalSectionLock.h"
#include "messaging/ChatSmilies.h"
#include "messaging/SmailyCtrl.h"

namespace {

const int kStill = 0x7FFFFFFF;
// A delay this short would spin the ticker; such frames show as browsers show them.
const int kShortestDelay = 20;
const int kShortDelayShown = 100;

} // namespace

CGifPlayer::CGifPlayer(CChatSmilies* smilies, int smileyIndex)
    : m_smilies(smilies), m_frame(0), m_remaining(0), m_smileyIndex(smileyIndex), m_controls(10)
{
    InitializeCriticalSection(&m_lock);
}

CGifPlayer::~CGifPlayer() { DeleteCriticalSection(&m_lock); }

bool CGifPlayer::IsAnimated() const { return m_smilies && m_smilies->GetFrameCount(m_smileyIndex) > 1; }

int CGifPlayer::GetCurrentFrame()
{
    CCriticalSectionLock lock(m_lock);
    return m_frame;
}

int CGifPlayer::Tick(int elapsed)
{
    int frames = m_smilies ? m_smilies->GetFrameCount(m_smileyIndex) : 0;
    if (frames <= 1)
        return kStill;
    m_remaining -= elapsed;
    if (m_remaining > 0)
        return m_remaining;
    {
        CCriticalSectionLock lock(m_lock);
        m_frame = (m_frame + 1) % frames;
        int delay = m_smilies->GetFrameDelay(m_smileyIndex, m_frame);
        m_remaining = delay < kShortestDelay ? kShortDelayShown : delay;
    }
    for (int i = 0; i < m_controls.Count(); ++i)
        m_controls[i]->Invalidate();
    return m_remaining;
}

void CGifPlayer::AddControl(CSmailyCtrl* control) { m_controls.Append(control); }

bool CGifPlayer::RemoveControl(CSmailyCtrl* control)
{
    for (int i = 0; i < m_controls.Count(); ++i) {
        if (m_controls[i] == control) {
            m_controls.Remove(i);
            break;
        }
    }
    // The smilies belong to the owner of a control (a chat view, the smilies
    // bar), who may go with it: read those of a control still shown.
    if (control->GetSmilies() == m_smilies)
        m_smilies = m_controls.Count() > 0 ? m_controls[0]->GetSmilies() : nullptr;
    return m_controls.Count() == 0;
}
