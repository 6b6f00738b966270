// A language file for the loader's tests. Text 0 names the file's language;
// text 1 also waits inside the file until the test lets it go, so that a test
// can switch languages while a look-up is running here.
#include <windows.h>

#include "JOVString.h"

extern "C" bool jov_test_MUI_GetString(int id, CJOVString& out)
{
    if (id == 1) {
        HANDLE entered = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"JOVTestLanguageEntered");
        HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, L"JOVTestLanguageRelease");
        if (entered)
            SetEvent(entered);
        if (release)
            WaitForSingleObject(release, 10000);
        if (entered)
            CloseHandle(entered);
        if (release)
            CloseHandle(release);
    } else if (id != 0) {
        return false;
    }
    out = CJOVString(L"" TEST_LANGUAGE);
    return true;
}
