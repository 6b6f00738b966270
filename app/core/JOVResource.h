// Resource ids of the executable.
#pragma once

#define IDI_JOV 101
#define IDR_MAIN_MENUBAR 102
#define IDR_SOFTKEY_MENUS 105
#define IDR_ACCELERATORS 2

#define IDS_APP_TITLE 1
#define IDS_APP_CLASS 2
#define IDS_MENU 103
#define IDS_ITEM 104

#define IDK_LEFT_SOFTKEY 32779
#define IDK_RIGHT_SOFTKEY 32778

#define ID_QUIT 40000
#define ID_SELECT_ALL 40002
