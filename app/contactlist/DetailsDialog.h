// A tabbed dialog of someone's details: the pages the plug-in supplies for
// one owner (an account or a contact). "Update" stores every page and stays
// open; the title bar's OK stores and closes. While open as the one its
// Refresh function reaches, it is reloaded page by page where the user
// changed nothing.
// UI thread.
#pragma once

#include "contactlist/TabsDialog.h"

class CDetailsDialog : public CTabsDialog {
public:
    CDetailsDialog(HWND parent, unsigned int ownerId, int titleId, const wchar_t* title);

    // Runs dialog modally as *open; the one it covered is open again after.
    template <class Dialog>
    static int RunAsOpen(Dialog*& open, Dialog* dialog)
    {
        Dialog* outer = open;
        open = dialog;
        int code = dialog->DoModal();
        open = outer;
        return code;
    }
    // Reloads open when it is on screen and shows that owner.
    static void Refresh(CDetailsDialog* open, unsigned int ownerId);

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    unsigned int GetOwnerId() override { return m_ownerId; }

    const unsigned int m_ownerId;
};
