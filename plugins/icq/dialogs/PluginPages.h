// The pages an ICQ account hands to the program's tabbed dialogs: appended
// on the account's thread, shown and run by the program on the UI thread.
#pragma once

#include "PanelInfo.h"

// "Account" and "Connection".
void AppendOptionsPages(CJOVArray<CPanelInfo>& pages);
// The nine own-details pages, "General" to "About".
void AppendOwnDetailsPages(CJOVArray<CPanelInfo>& pages);
// The nine contact-details pages.
void AppendContactDetailsPages(CJOVArray<CPanelInfo>& pages);
