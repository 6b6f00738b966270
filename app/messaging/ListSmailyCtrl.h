// The smiley chooser's grid: every smiley of the set, animated, one a cell,
// each centred in its cell.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "ListImageCtrl.h"
#include "messaging/AppChatSkin.h"

class CSmailyCtrl;

class CListSmailyCtrl : public CListImageCtrl {
public:
    CListSmailyCtrl(HWND parent, int smileyCount, int cellWidth, int cellHeight);
    ~CListSmailyCtrl() override;

    int GetControlCount() const { return m_controls.Count(); }
    CSmailyCtrl* GetControl(int index) const { return m_controls[index]; }

protected:
    void OnCreate() override;
    void RedrawImage(int index, const RECT& cell, CJOVDrawContext* context) override;
    HBRUSH GetBkBrush() override;

private:
    CJOVArray<CSmailyCtrl*> m_controls;
    CAppChatSkin m_skin;
};
