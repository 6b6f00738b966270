// Resource ids of the shell tests' resources.
#pragma once

#define IDS_MENU 201
#define IDS_ITEM 202
#define IDS_OK 203
#define IDS_CANCEL 204

#define IDM_SOFTKEY_MENUS 300
#define IDM_OK_CANCEL 302
#define IDM_FIRST 3001
#define IDM_SECOND 3002
#define IDM_THIRD 3003

#define IDR_MENU_BAR 400
#define IDR_OK_CANCEL_BAR 401
#define IDR_BROKEN_BAR 402
#define IDR_MISSING_MENU_BAR 403

#define IDK_LEFT 32779
#define IDK_RIGHT 32778

#define IDD_FORM 500
#define IDD_FORM_OTHER 501
#define IDD_MISSING 599

#define IDC_NAME 1001
#define IDC_LABEL 1002
