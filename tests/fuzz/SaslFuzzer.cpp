// The SASL challenge reader and the DIGEST-MD5 answer: the input is read as
// the key=value list itself, and it goes to the mechanism as the server's
// payloads, once as it stands (a Base64 text of the server's) and once
// Base64-encoded, so that the list behind it is reached. Input: the first
// challenge, a NUL byte, then the second challenge (or <success> payload).
#include <cstring>
#include <string>
#include <vector>

#include "MD5Auth.h"
#include "StringPairs.h"
#include "support/FuzzCheck.h"

namespace {

std::string Base64(const std::string& bytes)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            v |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    }
    return out;
}

void ReadPairs(const std::string& text)
{
    std::vector<char> editable(text.begin(), text.end());
    editable.push_back(0);
    const size_t length = std::strlen(editable.data());
    CStringPairs pairs(editable.data());
    for (const char* key : {"nonce", "realm", "qop", "charset", "algorithm", "rspauth", ""}) {
        const char* value = pairs[key];
        // Every value lies inside the text it was read from.
        FUZZ_CHECK(value != nullptr);
        FUZZ_CHECK(*value == 0 || (value >= editable.data() && value + std::strlen(value) <= editable.data() + length));
    }
}

void Login(const std::string& first, const std::string& second, bool encoded)
{
    JabberCredentials credentials{CJOVString(L"alice"), CJOVString(L"secret"), CJOVString(L"localhost")};
    TMD5Auth auth(credentials, "0123456789abcdef");
    std::string response;
    TJabberAuth::Step step = auth.GetChallengeResponse(encoded ? Base64(first) : first, response);
    FUZZ_CHECK(response.size() <= 4 * TMD5Auth::kMaxAnswerBytes / 3 + 4);
    if (step != TJabberAuth::kAnswered)
        return;
    const std::string proof = encoded ? Base64(second) : second;
    if (auth.GetChallengeResponse(proof, response) == TJabberAuth::kAnswered)
        FUZZ_CHECK(response.empty() && auth.CheckSuccess(std::string()) == TJabberAuth::kAnswered);
    else
        auth.CheckSuccess(proof);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string first = input.substr(0, nul);
    const std::string second = nul == std::string::npos ? std::string() : input.substr(nul + 1);
    ReadPairs(first);
    Login(first, second, false);
    Login(first, second, true);
    return 0;
}
