// What the Interface page offers: the installed skins, smilies sets and
// languages of the program, as heap copies of their names in file-system
// order. The caller frees them with FreeNameList.
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"

namespace Skins {

// Sub-folders of "Skins" that hold "icolors.ini"; FALSE when the folder cannot be searched.
BOOL ListSkins(CJOVArray<const wchar_t*>& out, const CJOVString& appDir = GetAppDir());
// Sub-folders of "Smilies" that hold "_define.ini"; FALSE when the folder cannot be searched.
BOOL ListSmiliesPacks(CJOVArray<const wchar_t*>& out, const CJOVString& appDir = GetAppDir());
// "JOV_<name>.dll" in "Langs" gives <name>; FALSE when there is none.
BOOL ListLanguages(CJOVArray<const wchar_t*>& out, const CJOVString& appDir = GetAppDir());
void FreeNameList(CJOVArray<const wchar_t*>& names);

// Whether the file exists (a folder does not count).
bool FileExists(const CJOVString& path);

} // namespace Skins
