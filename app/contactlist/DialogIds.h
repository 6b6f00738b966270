// Resource and control ids of the contact-list window's dialogs and pages.
#pragma once

// Soft-key bars (menu resources): see ModalDialog.h.
#define IDM_APPLY_CANCEL 137
#define IDM_OK_CANCEL 138
#define IDM_UPDATE_CLOSE 145
#define IDC_APPLY_COMMAND 32774
#define IDC_UPDATE_COMMAND 32784

#define IDD_TABS_FRAME 129
#define IDD_ACCOUNTS_PAGE 130
#define IDD_NEW_GROUP 102
#define IDD_ABOUT_BOX 155
#define IDD_SELECT_COLOR 141
#define IDD_PALETTE 142
#define IDD_COLOR_SCHEME 144

// The accounts page.
#define IDC_ACCOUNTS_LIST 1000
#define IDC_ACCOUNT_ADD 1001
#define IDC_ACCOUNT_SETTINGS 1002
#define IDC_ACCOUNT_ENABLE 1003
#define IDC_ACCOUNT_DELETE 1004

// The name dialog.
#define IDC_GROUP_NAME 1026
#define IDC_GROUP_NAME_TEXT 1027

// The about box.
#define IDC_ABOUT_ICON 1123
#define IDC_ABOUT_PRODUCT 1122
#define IDC_ABOUT_BUILD 1121
#define IDC_ABOUT_TEXT 1056

// The colour picker.
#define IDC_RED_LABEL 1085
#define IDC_GREEN_LABEL 1086
#define IDC_BLUE_LABEL 1087
#define IDC_RED_SLIDER 1034
#define IDC_GREEN_SLIDER 1035
#define IDC_BLUE_SLIDER 1036
#define IDC_RED_EDIT 1014
#define IDC_GREEN_EDIT 1017
#define IDC_BLUE_EDIT 1015
#define IDC_FROM_PALETTE 1039
#define IDC_COLOR_PREVIEW 1037

// The palette.
#define IDC_PALETTE_FRAME 1043
#define IDC_PALETTE_RED_LABEL 1088
#define IDC_PALETTE_GREEN_LABEL 1089
#define IDC_PALETTE_BLUE_LABEL 1090
#define IDC_PALETTE_RED 1040
#define IDC_PALETTE_GREEN 1041
#define IDC_PALETTE_BLUE 1042

// The colour-scheme editor.
#define IDC_SCHEME_LIST 1022
#define IDC_SCHEME_RESTORE 1032
#define IDC_SCHEME_CHANGE 1033
