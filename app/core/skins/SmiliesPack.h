// A smilies set: the smilies of one folder under "Smilies", in line order of
// its "_define.ini". Loaded by a thread of its own so that start-up does not
// wait; a second thread composes the animation frames once loading is done.
// Both threads look at a stop event between smilies, so deleting a set that
// is still loading waits for at most one smiley.
//
// The UI thread reads the smilies only after WaitLoaded (the skin manager's
// GetSmilies calls it).
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"
#include "core/skins/Smaily.h"

class CSmiliesPack : public CJOVArray<CSmaily*> {
public:
    // The empty set of text smilies (or of no usable set): loaded, no threads.
    CSmiliesPack();
    // Starts loading appDir "Smilies\<name>\".
    explicit CSmiliesPack(const CJOVString& name, const CJOVString& appDir = GetAppDir());
    ~CSmiliesPack() override;
    CSmiliesPack(const CSmiliesPack&) = delete;
    CSmiliesPack& operator=(const CSmiliesPack&) = delete;

    // Shows the wait cursor while the loader runs.
    void WaitLoaded();
    bool IsLoaded() const { return m_loaded != 0; }
    // While loading: a handle of the loader thread for the caller to wait on
    // and close; it stays valid if the set is deleted meanwhile, which stops
    // the loader. Null once loaded.
    HANDLE OpenLoader() const;
    // Deletes every smiley.
    void Clear();
    const CJOVString& GetName() const { return m_name; }
    // Null outside the set.
    CSmaily* operator[](int index) const;

private:
    static DWORD WINAPI LoaderThread(void* pack);
    static DWORD WINAPI FramesThread(void* pack);
    void Load();
    void RenderAll();
    bool Stopping() const;
    void SetLoaded();

    volatile LONG m_loaded;
    HANDLE m_loader;
    HANDLE m_frames;
    CJOVString m_name;
    CJOVString m_folder;  // with its trailing backslash
    HANDLE m_stop;
};
