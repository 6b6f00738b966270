// The own-details and contact-details dialogs (stand-ins).
// UI thread, except the two refresh calls, which any thread may make.
#pragma once

#include <windows.h>

int ShowUserDetails(HWND parent, unsigned int accountId);
// Reload the dialog when it is open for that account or contact.
void RefreshUserDetails(unsigned int accountId);
void RefreshContactDetails(unsigned int contactId);
