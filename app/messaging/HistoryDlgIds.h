// Resource and control ids of the history dialog; its soft-key bar is the
// messaging window's (MessagingIds.h).
#pragma once

#define IDD_HISTORY 153
#define IDC_HISTORY_FIND_LABEL 1066
#define IDC_HISTORY_FIND_TEXT 1056
#define IDC_HISTORY_FIND_GO 1019
#define IDC_HISTORY_WHOLE_WORD 1064
#define IDC_HISTORY_WHOLE_WORD_LABEL 1119
#define IDC_HISTORY_MATCH_CASE 1065
#define IDC_HISTORY_MATCH_CASE_LABEL 1120
