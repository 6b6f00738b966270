// What the account knows of the capabilities that clients announce with their
// presence (XEP-0115): for each node, the feature set of each version or
// extension name, as bits of the feature table. The account's own node is
// entered when it is created, so two accounts of this program know each
// other's features without asking.
//
// Threads: guarded by its own critical section; used by the account's event
// thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "JOVString.h"

// The feature namespaces, each a bit of a feature set, in bit order.
extern const char* const kFeatureTable[];
extern const int kFeatureCount;
// The bits the account acts on.
enum JabberFeatureBit {
    kFeatureCommands = 8,
    kFeatureChatStates = 11,
    kFeatureMessageEvents = 17,
    kFeatureMood = 26,
    kFeatureSecureIm = 28,
    kFeatureReceipts = 30,
    kFeatureTune = 32,
};

inline uint64_t FeatureMask(int bit)
{
    return uint64_t(1) << bit;
}

// The account's own node and its feature set.
extern const char kOwnCapsNode[];
const uint64_t kOwnFeatures = 0x6467FCFDull;
// The version earlier builds announced, before the hash: their presences
// still name it.
extern const char kEarlierCapsVersion[];

// The account's identity as service discovery shows it.
extern const char kOwnIdentityCategory[];
extern const char kOwnIdentityType[];
extern const char kOwnIdentityName[];

// XEP-0115's verification string with sha-1: the Base64 of the SHA-1 of
// the identity ("category/type/lang/name") and each feature in byte order,
// each followed by "<". Empty when the system cannot hash.
std::string CapsVersionOf(const std::string& identity, std::vector<std::string> features);
// The namespaces of the own features, in the table's order.
std::vector<std::string> OwnFeatureNames();
// The version the account announces: that of its identity and features.
const std::string& OwnCapsVersion();

class CCapsCache {
public:
    static constexpr uint64_t kUnknown = 0x8000000000000000ull;
    static constexpr uint64_t kPending = 0x8000000000000001ull;

    CCapsCache();
    ~CCapsCache();
    CCapsCache(const CCapsCache&) = delete;
    CCapsCache& operator=(const CCapsCache&) = delete;

    // The account's own node with its versions and extensions.
    void AddOwnNode();
    // Adds or replaces the entry of a version or extension name.
    void Set(const CJOVString& node, const CJOVString& name, uint64_t features, DWORD tick);
    // kUnknown when the entry is missing.
    uint64_t Get(const CJOVString& node, const CJOVString& name);
    // The features a client announced: its version's and those of each of its
    // space-separated extensions, as far as they are known; 0 for none.
    uint64_t FeaturesOf(const CJOVString& node, const CJOVString& version, const CJOVString& extensions);

private:
    struct Entry {
        CJOVString name;
        uint64_t features;
        DWORD tick;
    };
    struct Node {
        CJOVString url;
        std::vector<Entry> entries;
    };

    CRITICAL_SECTION m_lock;
    std::vector<Node> m_nodes;
};
