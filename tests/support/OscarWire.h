// The OSCAR wire as the server sees it: FLAP frames, SNACs, TLVs, and the
// frames a login and BOS server send. Independent of the plug-in's packet
// classes, so a test can check them against a second reading of the protocol.
#pragma once

#include <string>
#include <vector>

namespace OscarWire {

typedef std::vector<unsigned char> Bytes;

// Appends big-endian (or, where named, little-endian) values.
class Builder {
public:
    Builder& U8(unsigned int value);
    Builder& U16(unsigned int value);
    Builder& U32(unsigned int value);
    Builder& U16LE(unsigned int value);
    Builder& U32LE(unsigned int value);
    Builder& Raw(const Bytes& bytes);
    Builder& Raw(const void* bytes, size_t n);
    Builder& Text(const std::string& text);  // the bytes, no length, no terminator
    Builder& Tlv(unsigned int type, const Bytes& value);
    Builder& Tlv(unsigned int type, const std::string& value);
    Builder& Tlv16(unsigned int type, unsigned int value);
    Builder& Tlv32(unsigned int type, unsigned int value);
    const Bytes& Get() const { return m_bytes; }
    operator const Bytes&() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Reads what a client sent; a read past the end answers 0 and sets failed.
class Cursor {
public:
    Cursor(const Bytes& bytes, size_t start = 0) : m_bytes(bytes), m_at(start), m_failed(false) {}
    unsigned int U8();
    unsigned int U16();
    unsigned int U32();
    unsigned int U16LE();
    unsigned int U32LE();
    Bytes Take(size_t n);
    std::string TakeText(size_t n);
    size_t Left() const { return m_failed ? 0 : m_bytes.size() - m_at; }
    size_t At() const { return m_at; }
    bool Failed() const { return m_failed; }

private:
    bool Need(size_t n);
    const Bytes& m_bytes;
    size_t m_at;
    bool m_failed;
};

struct Tlv {
    unsigned int type;
    Bytes value;
};

// TLVs one after another; a cut last one is dropped.
std::vector<Tlv> ParseTlvs(const Bytes& bytes, size_t start = 0);
const Tlv* FindTlv(const std::vector<Tlv>& tlvs, unsigned int type);

struct Snac {
    unsigned int family = 0;
    unsigned int subtype = 0;
    unsigned int flags = 0;
    unsigned int requestId = 0;
    Bytes body;
};

struct Frame {
    unsigned int channel = 0;
    unsigned int sequence = 0;
    Bytes payload;

    bool IsSnac(unsigned int family, unsigned int subtype) const;
    // The SNAC of a channel-2 frame (extra data skipped); empty for others.
    Snac GetSnac() const;
    std::string Describe() const;
};

// The FLAP payload of a SNAC.
Bytes SnacPayload(unsigned int family, unsigned int subtype, const Bytes& body, unsigned int flags = 0,
                  unsigned int requestId = 0);
// A whole FLAP frame with the given sequence number.
Bytes FlapBytes(unsigned int channel, unsigned int sequence, const Bytes& payload);

// Frames of the server (channel and payload; the server numbers them when sent).
Frame Hello();
Frame SnacFrame(unsigned int family, unsigned int subtype, const Bytes& body, unsigned int flags = 0,
                unsigned int requestId = 0);
Frame AuthKeyResponse(const std::string& key);
Frame LoginReply(const std::string& uin, const std::string& bosAddress, const Bytes& cookie);
Frame LoginError(const std::string& uin, unsigned int errorCode);
Frame Signoff(unsigned int tlvType, unsigned int code);  // channel 4: TLV 0x08 error or 0x09 reason
Frame Families(const std::vector<unsigned int>& families);
Frame FamilyVersions(const std::vector<std::pair<unsigned int, unsigned int>>& pairs);
// n rate classes with ids 1..n, each group holding one (family, subtype) pair.
Frame RateInfo(unsigned int classes, unsigned int requestId);
Frame UserOnline(const std::string& uin, const std::vector<Tlv>& tlvs);
Frame UserOffline(const std::string& uin);
Frame MessageChannel1(unsigned int cookie1, unsigned int cookie2, const std::string& from,
                      const std::string& text);
struct SsiItem {
    std::string name;
    unsigned int groupId;
    unsigned int itemId;
    unsigned int type;
    Bytes tlvs;
};
Frame SsiReply(const std::vector<SsiItem>& items, unsigned int lastChange, bool more = false);
// A group item listing its members' item ids, and a contact with its nick.
SsiItem SsiGroup(const std::string& name, unsigned int groupId, const std::vector<unsigned int>& members);
SsiItem SsiBuddy(const std::string& uin, unsigned int groupId, unsigned int itemId, const std::string& nick);
// The client's own information (0x01/0x0F): online, with these status bits.
Frame OwnInfo(const std::string& uin, unsigned int status = 0);

// MD5 of the login: MD5(key, MD5(password), "AOL Instant Messenger (SM)").
Bytes LoginDigest(const std::string& key, const std::string& password);

std::string Hex(const Bytes& bytes);

} // namespace OscarWire
