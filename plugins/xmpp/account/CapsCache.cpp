#include "CapsCache.h"

#include <bcrypt.h>

#include <algorithm>

#include "CriticalSectionLock.h"

const char* const kFeatureTable[] = {
    "http://jabber.org/protocol/disco#info",
    "http://jabber.org/protocol/disco#items",
    "http://jabber.org/protocol/caps",
    "http://jabber.org/protocol/si",
    "http://jabber.org/protocol/si/profile/file-transfer",
    "http://jabber.org/protocol/bytestreams",
    "http://jabber.org/protocol/ibb",
    "jabber:iq:oob",
    "http://jabber.org/protocol/commands",
    "jabber:iq:register",
    "http://jabber.org/protocol/muc",
    "http://jabber.org/protocol/chatstates",
    "jabber:iq:last",
    "jabber:iq:version",
    "urn:xmpp:time",
    "urn:xmpp:ping",
    "jabber:x:data",
    "jabber:x:event",
    "vcard-temp",
    "jabber:iq:avatar",
    "http://jabber.org/protocol/xhtml-im",
    "jabber:iq:agents",
    "jabber:iq:browse",
    "http://jabber.org/protocol/feature-neg",
    "http://jabber.org/protocol/amp",
    "http://jabber.org/protocol/mood",
    "http://jabber.org/protocol/mood+notify",
    "http://jabber.org/protocol/pubsub",
    "jov:secureim",
    "jabber:iq:privacy",
    "urn:xmpp:receipts",
    "http://jabber.org/protocol/tune",
    "http://jabber.org/protocol/tune+notify",
    "jabber:iq:private",
    "urn:xmpp:attention:0",
};
const int kFeatureCount = static_cast<int>(sizeof kFeatureTable / sizeof kFeatureTable[0]);

const char kOwnCapsNode[] = "https://jov.example.org/caps";
const char kEarlierCapsVersion[] = "0.1.1.1";
const char kOwnIdentityCategory[] = "client";
const char kOwnIdentityType[] = "pda";
const char kOwnIdentityName[] = "JOV";

namespace {

CJOVString FromAscii(const char* text)
{
    return CJOVString(reinterpret_cast<const unsigned char*>(text), CP_UTF8);
}

// The 20 bytes of the SHA-1 of the text; false when the system cannot hash.
bool Sha1(const std::string& text, unsigned char digest[20])
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0)))
        return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool done = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)) &&
                BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(text.data())),
                                              static_cast<ULONG>(text.size()), 0)) &&
                BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, 20, 0));
    if (hash)
        BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return done;
}

} // namespace

std::string CapsVersionOf(const std::string& identity, std::vector<std::string> features)
{
    std::sort(features.begin(), features.end());
    std::string text = identity + "<";
    for (const std::string& feature : features)
        text += feature + "<";
    unsigned char digest[20];
    if (!Sha1(text, digest))
        return std::string();
    CJOVString encoded = CJOVString::GetBase64EncodedString(digest, sizeof digest);
    return std::string(encoded.Data(), encoded.Data() + encoded.GetLength());
}

std::vector<std::string> OwnFeatureNames()
{
    std::vector<std::string> names;
    for (int bit = 0; bit < kFeatureCount; ++bit) {
        if (kOwnFeatures & FeatureMask(bit))
            names.push_back(kFeatureTable[bit]);
    }
    return names;
}

const std::string& OwnCapsVersion()
{
    static const std::string version = CapsVersionOf(
        std::string(kOwnIdentityCategory) + "/" + kOwnIdentityType + "//" + kOwnIdentityName, OwnFeatureNames());
    return version;
}

CCapsCache::CCapsCache()
{
    InitializeCriticalSection(&m_lock);
}

CCapsCache::~CCapsCache()
{
    DeleteCriticalSection(&m_lock);
}

void CCapsCache::AddOwnNode()
{
    CJOVString node = FromAscii(kOwnCapsNode);
    DWORD now = GetTickCount();
    Set(node, FromAscii(OwnCapsVersion().c_str()), kOwnFeatures, now);
    Set(node, FromAscii(kEarlierCapsVersion), kOwnFeatures, now);
    Set(node, CJOVString(L"secureim"), FeatureMask(kFeatureSecureIm), now);
    Set(node, CJOVString(L"cmds"), FeatureMask(kFeatureCommands), now);
    Set(node, CJOVString(L"mood"), FeatureMask(kFeatureMood), now);
    Set(node, CJOVString(L"tune"), FeatureMask(kFeatureTune), now);
}

void CCapsCache::Set(const CJOVString& node, const CJOVString& name, uint64_t features, DWORD tick)
{
    CCriticalSectionLock hold(m_lock);
    Node* found = nullptr;
    for (Node& each : m_nodes) {
        if (each.url == node)
            found = &each;
    }
    if (!found) {
        m_nodes.push_back(Node{node, {}});
        found = &m_nodes.back();
    }
    for (Entry& entry : found->entries) {
        if (entry.name == name) {
            entry.features = features;
            entry.tick = tick;
            return;
        }
    }
    found->entries.push_back(Entry{name, features, tick});
}

uint64_t CCapsCache::Get(const CJOVString& node, const CJOVString& name)
{
    CCriticalSectionLock hold(m_lock);
    for (const Node& each : m_nodes) {
        if (each.url != node)
            continue;
        for (const Entry& entry : each.entries) {
            if (entry.name == name)
                return entry.features;
        }
    }
    return kUnknown;
}

uint64_t CCapsCache::FeaturesOf(const CJOVString& node, const CJOVString& version, const CJOVString& extensions)
{
    if (node.GetLength() == 0)
        return 0;
    uint64_t features = 0;
    auto add = [&](const CJOVString& name) {
        uint64_t known = Get(node, name);
        if (!(known & kUnknown))
            features |= known;
    };
    if (version.GetLength() > 0)
        add(version);
    int start = 0;
    for (int i = 0; i <= extensions.GetLength(); ++i) {
        if (i == extensions.GetLength() || extensions.Data()[i] == L' ') {
            if (i > start)
                add(extensions.Substring(start, i - start));
            start = i + 1;
        }
    }
    return features;
}
