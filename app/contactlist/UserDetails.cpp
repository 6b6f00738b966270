#include "contactlist/UserDetails.h"

#include "contactlist/ModalDialog.h"
#include "core/JOVResource.h"

int ShowUserDetails(HWND parent, unsigned int)
{
    CModalDialog dialog(parent, IDD_USER_DETAILS, IDR_DIALOG_MENUBAR, 1);
    return dialog.DoModal();
}

void RefreshUserDetails(unsigned int)
{
}

void RefreshContactDetails(unsigned int)
{
}
