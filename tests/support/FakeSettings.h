// An account's settings in memory, read and written from any thread.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AccountSettings.h"
#include "MD5.h"

class CFakeSettings : public CAccountSettings {
public:
    typedef std::vector<unsigned char> Bytes;

    bool GetString(unsigned int, const CJOVString& name, CJOVString& out) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_strings.find(Key(name));
        if (found == m_strings.end())
            return false;
        out = CJOVString(found->second.c_str());
        return true;
    }
    bool GetData(unsigned int, const CJOVString& name, Bytes& out) override { return Find(name, out); }
    bool GetDWord(unsigned int, const CJOVString& name, unsigned long& out) override
    {
        Bytes bytes;
        if (!Find(name, bytes) || bytes.size() != 4)
            return false;
        out = static_cast<unsigned long>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16)) |
              (static_cast<unsigned long>(bytes[3]) << 24);
        return true;
    }
    bool GetWord(unsigned int, const CJOVString& name, unsigned short& out) override
    {
        Bytes bytes;
        if (!Find(name, bytes) || bytes.size() != 2)
            return false;
        out = static_cast<unsigned short>(bytes[0] | (bytes[1] << 8));
        return true;
    }
    bool GetByte(unsigned int, const CJOVString& name, unsigned char& out) override
    {
        Bytes bytes;
        if (!Find(name, bytes) || bytes.size() != 1)
            return false;
        out = bytes[0];
        return true;
    }
    void SetString(unsigned int, const CJOVString& name, const CJOVString& value) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_strings[Key(name)] = std::wstring(value.Data(), value.GetLength());
    }
    void SetData(unsigned int, const CJOVString& name, const Bytes& value) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_data[Key(name)] = value;
    }
    void SetDWord(unsigned int id, const CJOVString& name, unsigned long value) override
    {
        SetData(id, name, Bytes{static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)});
    }
    void SetWord(unsigned int id, const CJOVString& name, unsigned short value) override
    {
        SetData(id, name, Bytes{static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)});
    }
    void SetByte(unsigned int id, const CJOVString& name, unsigned char value) override
    {
        SetData(id, name, Bytes{value});
    }

    // Test helpers.
    void Set(const wchar_t* name, const wchar_t* value) { SetString(0, CJOVString(name), CJOVString(value)); }
    void SetByte(const wchar_t* name, unsigned char value) { SetByte(0, CJOVString(name), value); }
    void SetWord(const wchar_t* name, unsigned short value) { SetWord(0, CJOVString(name), value); }
    void SetDWord(const wchar_t* name, unsigned long value) { SetDWord(0, CJOVString(name), value); }
    int Word(const wchar_t* name)
    {
        unsigned short value = 0;
        return GetWord(0, CJOVString(name), value) ? value : -1;
    }
    void SetPassword(const std::string& password)
    {
        Bytes digest(16);
        CMD5::Hash(password.data(), static_cast<unsigned>(password.size()), digest.data());
        SetData(0, CJOVString(L"Account password"), digest);
    }
    std::wstring String(const wchar_t* name)
    {
        CJOVString value;
        return GetString(0, CJOVString(name), value) ? std::wstring(value.Data(), value.GetLength()) : L"";
    }
    int Byte(const wchar_t* name)
    {
        unsigned char value = 0;
        return GetByte(0, CJOVString(name), value) ? value : -1;
    }

private:
    static std::wstring Key(const CJOVString& name) { return std::wstring(name.Data(), name.GetLength()); }
    bool Find(const CJOVString& name, Bytes& out)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_data.find(Key(name));
        if (found == m_data.end())
            return false;
        out = found->second;
        return true;
    }

    std::mutex m_lock;
    std::map<std::wstring, std::wstring> m_strings;
    std::map<std::wstring, Bytes> m_data;
};
