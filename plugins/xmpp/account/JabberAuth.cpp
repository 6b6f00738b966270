#include "JabberAuth.h"

#include <windows.h>

TJabberAuth::TJabberAuth(const char* name, const JabberCredentials& credentials)
    : m_name(name), m_credentials(credentials)
{
}

TJabberAuth::~TJabberAuth() = default;

std::string TJabberAuth::GetInitialResponse()
{
    return std::string();
}

TJabberAuth::Step TJabberAuth::GetChallengeResponse(const std::string&, std::string& response)
{
    response.clear();
    return kAnswered;
}

TJabberAuth::Step TJabberAuth::CheckSuccess(const std::string&)
{
    return kAnswered;
}

std::string TJabberAuth::Utf8(const CJOVString& text)
{
    std::string bytes;
    if (unsigned char* buffer = text.GetBuffer(CP_UTF8)) {
        bytes = reinterpret_cast<const char*>(buffer);
        CJOVString::FreeBuffer(buffer);
    }
    return bytes;
}

std::string TJabberAuth::Base64(const std::string& bytes)
{
    CJOVString encoded = CJOVString::GetBase64EncodedString(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                            static_cast<int>(bytes.size()));
    std::string text;
    for (int i = 0; i < encoded.GetLength(); ++i)
        text += static_cast<char>(encoded.Data()[i]);
    return text;
}

bool TJabberAuth::FromBase64(const std::string& text, std::string& bytes)
{
    bytes.clear();
    std::wstring wide;
    for (char c : text) {
        if (c != ' ' && c != '\t')
            wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    if (wide.empty() || wide == L"=")
        return true;  // RFC 6120: "=" is a payload of no bytes
    // Bytes as they came, never through a code page: a challenge is UTF-8 and may hold any byte.
    int count = 0;
    unsigned char* decoded = CJOVString(wide.c_str()).GetBase64DecodedBytes(&count);
    if (!decoded)
        return false;
    bytes.assign(reinterpret_cast<const char*>(decoded), static_cast<size_t>(count));
    CJOVString::FreeBuffer(decoded);
    return true;
}
