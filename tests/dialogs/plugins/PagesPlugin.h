// Resource ids of the pages plug-in, shared by its code and its resources.
#pragma once

#define IDD_LOGIN_PAGE 300
#define IDD_SERVER_PAGE 301
#define IDD_PORT_PAGE 302
#define IDD_NICK_PAGE 303
#define IDD_NOTE_PAGE 304
#define IDD_MISSING_PAGE 399

#define IDC_LOGIN 100
#define IDC_SERVER 101
#define IDC_PORT 102
#define IDC_NICK 103
#define IDC_NOTE 104
#define IDC_SAVE_PASSWORD 105
