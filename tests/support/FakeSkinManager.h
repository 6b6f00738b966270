// A skin manager that registers nothing: it records which files were added
// under which protocol, answers ids from 100 on, and counts releases.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "SkinManager.h"

class CFakeSkinManager : public Skins::CSkinManager {
public:
    BOOL DrawImage(unsigned int, CJOVDrawContext*, int, int, int, int, bool, unsigned int) override { return FALSE; }
    HBRUSH GetBackgroundBrush(int) override { return nullptr; }
    HBITMAP CreateBackgroundBitmap(int, HWND) override { return nullptr; }
    int AddImage(const JOV_GUID& protocol, const CJOVString& file) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        protocols.push_back(protocol);
        files.emplace_back(file.Data(), file.GetLength());
        return 100 + static_cast<int>(files.size()) - 1;
    }
    void ReleaseImage(unsigned int id) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        ++released[id];
    }

    std::vector<JOV_GUID> protocols;
    std::vector<std::wstring> files;
    std::map<unsigned int, int> released;

private:
    std::mutex m_lock;
};
