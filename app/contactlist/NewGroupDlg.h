// A one-line name: a new group's, or the new name of a group or a contact.
// OK with an empty name is refused with a message.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

class CNewGroupDlg : public CModalDialog {
public:
    explicit CNewGroupDlg(HWND parent);
    ~CNewGroupDlg() override;

    // Before DoModal: the name shown (renaming). After OK: the name typed.
    void SetName(const CJOVString& name) { m_name = name; }
    CJOVString GetName() const { return m_name; }

protected:
    int DoDataExchange(int save) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    CJOVString m_name;
};
