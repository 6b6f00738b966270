// Dialogs made from a module's RT_DIALOG resource without running them
// modally: the pages of tabbed dialogs and the modeless dialogs.
// UI thread.
#pragma once

#include <windows.h>

// A modeless dialog from template id of module. asChild makes it a control
// child of parent (WS_CHILD | DS_CONTROL, no caption or frame) whatever the
// template says, as a page must be on the desktop, and hidden. Null when the template is
// missing or the window cannot be made.
HWND CreateDialogFromTemplate(HINSTANCE module, unsigned int id, HWND parent, DLGPROC proc, LPARAM param,
                              bool asChild);
