// Whether the texts the running program shows fit where it shows them,
// measured in the test's process in the fonts they are drawn with: labels,
// buttons, check boxes, combo box items and list headers of a window and its
// pages in the dialogs' "MS Shell Dlg" 8, soft keys in the bar's bold Tahoma.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct UnfitText {
    std::wstring where;  // the window's title, the control's class and id
    std::wstring text;
    int width;           // what the text needs
    int room;            // what its place gives
};

// Every visible control of window and of its child dialogs; of a combo
// box's items only those among languageTexts (lists of data, such as
// countries, are no texts of the language files).
std::vector<UnfitText> UnfitControlTexts(HWND window, const std::set<std::wstring>& languageTexts);
// Every key of a soft-key bar.
std::vector<UnfitText> UnfitSoftKeys(HWND bar);
// One line per text, for a failure message; empty when all fit.
std::string Describe(const std::vector<UnfitText>& unfit);
// How many texts the last UnfitControlTexts measured: a check that saw
// nothing proves nothing.
int MeasuredCount();
