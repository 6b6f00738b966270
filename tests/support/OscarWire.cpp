#include "OscarWire.h"

#include <cstdio>

#include "MD5.h"

namespace OscarWire {

Builder& Builder::U8(unsigned int value)
{
    m_bytes.push_back(static_cast<unsigned char>(value));
    return *this;
}

Builder& Builder::U16(unsigned int value)
{
    return U8(value >> 8).U8(value);
}

Builder& Builder::U32(unsigned int value)
{
    return U16(value >> 16).U16(value);
}

Builder& Builder::U16LE(unsigned int value)
{
    return U8(value).U8(value >> 8);
}

Builder& Builder::U32LE(unsigned int value)
{
    return U16LE(value).U16LE(value >> 16);
}

Builder& Builder::Raw(const Bytes& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

Builder& Builder::Raw(const void* bytes, size_t n)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + n);
    return *this;
}

Builder& Builder::Text(const std::string& text)
{
    return Raw(text.data(), text.size());
}

Builder& Builder::Tlv(unsigned int type, const Bytes& value)
{
    return U16(type).U16(static_cast<unsigned int>(value.size())).Raw(value);
}

Builder& Builder::Tlv(unsigned int type, const std::string& value)
{
    return U16(type).U16(static_cast<unsigned int>(value.size())).Text(value);
}

Builder& Builder::Tlv16(unsigned int type, unsigned int value)
{
    return U16(type).U16(2).U16(value);
}

Builder& Builder::Tlv32(unsigned int type, unsigned int value)
{
    return U16(type).U16(4).U32(value);
}

bool Cursor::Need(size_t n)
{
    if (m_failed || m_bytes.size() - m_at < n)
        m_failed = true;
    return !m_failed;
}

unsigned int Cursor::U8()
{
    return Need(1) ? m_bytes[m_at++] : 0;
}

unsigned int Cursor::U16()
{
    if (!Need(2))
        return 0;
    unsigned int value = (m_bytes[m_at] << 8) | m_bytes[m_at + 1];
    m_at += 2;
    return value;
}

unsigned int Cursor::U32()
{
    unsigned int high = U16();
    return (high << 16) | U16();
}

unsigned int Cursor::U16LE()
{
    if (!Need(2))
        return 0;
    unsigned int value = m_bytes[m_at] | (m_bytes[m_at + 1] << 8);
    m_at += 2;
    return value;
}

unsigned int Cursor::U32LE()
{
    unsigned int low = U16LE();
    return low | (U16LE() << 16);
}

Bytes Cursor::Take(size_t n)
{
    if (!Need(n))
        return Bytes();
    Bytes part(m_bytes.begin() + static_cast<long>(m_at), m_bytes.begin() + static_cast<long>(m_at + n));
    m_at += n;
    return part;
}

std::string Cursor::TakeText(size_t n)
{
    Bytes part = Take(n);
    return std::string(part.begin(), part.end());
}

std::vector<Tlv> ParseTlvs(const Bytes& bytes, size_t start)
{
    std::vector<Tlv> tlvs;
    Cursor in(bytes, start);
    while (in.Left() >= 4) {
        Tlv tlv;
        tlv.type = in.U16();
        size_t n = in.U16();
        tlv.value = in.Take(n);
        if (in.Failed())
            break;
        tlvs.push_back(tlv);
    }
    return tlvs;
}

const Tlv* FindTlv(const std::vector<Tlv>& tlvs, unsigned int type)
{
    for (const Tlv& tlv : tlvs) {
        if (tlv.type == type)
            return &tlv;
    }
    return nullptr;
}

bool Frame::IsSnac(unsigned int family, unsigned int subtype) const
{
    if (channel != 2 || payload.size() < 10)
        return false;
    Snac snac = GetSnac();
    return snac.family == family && snac.subtype == subtype;
}

Snac Frame::GetSnac() const
{
    Snac snac;
    if (channel != 2)
        return snac;
    Cursor in(payload);
    snac.family = in.U16();
    snac.subtype = in.U16();
    snac.flags = in.U16();
    snac.requestId = in.U32();
    if (snac.flags & 0x8000)
        in.Take(in.U16());
    if (!in.Failed())
        snac.body = in.Take(in.Left());
    return snac;
}

std::string Frame::Describe() const
{
    char text[64];
    if (channel == 2 && payload.size() >= 10) {
        Snac snac = GetSnac();
        std::snprintf(text, sizeof(text), "SNAC %02X/%02X seq %u, %u body bytes", snac.family, snac.subtype,
                      sequence, static_cast<unsigned>(snac.body.size()));
    } else {
        std::snprintf(text, sizeof(text), "channel %u seq %u, %u bytes", channel, sequence,
                      static_cast<unsigned>(payload.size()));
    }
    return text;
}

Bytes SnacPayload(unsigned int family, unsigned int subtype, const Bytes& body, unsigned int flags,
                  unsigned int requestId)
{
    return Builder().U16(family).U16(subtype).U16(flags).U32(requestId).Raw(body).Get();
}

Bytes FlapBytes(unsigned int channel, unsigned int sequence, const Bytes& payload)
{
    return Builder().U8(0x2A).U8(channel).U16(sequence).U16(static_cast<unsigned int>(payload.size()))
        .Raw(payload).Get();
}

Frame Hello()
{
    Frame frame;
    frame.channel = 1;
    frame.payload = Builder().U32(1).Get();
    return frame;
}

Frame SnacFrame(unsigned int family, unsigned int subtype, const Bytes& body, unsigned int flags,
                unsigned int requestId)
{
    Frame frame;
    frame.channel = 2;
    frame.payload = SnacPayload(family, subtype, body, flags, requestId);
    return frame;
}

Frame AuthKeyResponse(const std::string& key)
{
    return SnacFrame(0x17, 0x07, Builder().U16(static_cast<unsigned int>(key.size())).Text(key));
}

Frame LoginReply(const std::string& uin, const std::string& bosAddress, const Bytes& cookie)
{
    return SnacFrame(0x17, 0x03, Builder().Tlv(0x0001, uin).Tlv(0x0005, bosAddress).Tlv(0x0006, cookie));
}

Frame LoginError(const std::string& uin, unsigned int errorCode)
{
    return SnacFrame(0x17, 0x03, Builder().Tlv(0x0001, uin).Tlv(0x0004, std::string("http://x/")).Tlv16(0x0008, errorCode));
}

Frame Signoff(unsigned int tlvType, unsigned int code)
{
    Frame frame;
    frame.channel = 4;
    frame.payload = Builder().Tlv16(tlvType, code).Get();
    return frame;
}

Frame Families(const std::vector<unsigned int>& families)
{
    Builder body;
    for (unsigned int family : families)
        body.U16(family);
    return SnacFrame(0x01, 0x03, body);
}

Frame FamilyVersions(const std::vector<std::pair<unsigned int, unsigned int>>& pairs)
{
    Builder body;
    for (const auto& pair : pairs)
        body.U16(pair.first).U16(pair.second);
    return SnacFrame(0x01, 0x18, body);
}

Frame RateInfo(unsigned int classes, unsigned int requestId)
{
    Builder body;
    body.U16(classes);
    for (unsigned int id = 1; id <= classes; ++id) {
        body.U16(id);
        for (int value = 0; value < 8; ++value)
            body.U32(100 * id + static_cast<unsigned int>(value));
        body.U8(0);
    }
    for (unsigned int id = 1; id <= classes; ++id)
        body.U16(id).U16(1).U32((0x0004u << 16) | 0x0006);
    return SnacFrame(0x01, 0x07, body, 0, requestId);
}

Frame UserOnline(const std::string& uin, const std::vector<Tlv>& tlvs)
{
    Builder body;
    body.U8(static_cast<unsigned int>(uin.size())).Text(uin).U16(0).U16(static_cast<unsigned int>(tlvs.size()));
    for (const Tlv& tlv : tlvs)
        body.Tlv(tlv.type, tlv.value);
    return SnacFrame(0x03, 0x0B, body);
}

Frame UserOffline(const std::string& uin)
{
    return SnacFrame(0x03, 0x0C, Builder().U8(static_cast<unsigned int>(uin.size())).Text(uin).U16(0).U16(0));
}

Frame MessageChannel1(unsigned int cookie1, unsigned int cookie2, const std::string& from, const std::string& text)
{
    Builder fragments;
    fragments.U8(0x05).U8(0x01).U16(1).U8(0x01);                      // capabilities fragment
    fragments.U8(0x01).U8(0x01).U16(static_cast<unsigned int>(text.size()) + 4).U16(0).U16(0).Text(text);
    Builder body;
    body.U32(cookie1).U32(cookie2).U16(1).U8(static_cast<unsigned int>(from.size())).Text(from);
    body.U16(0).U16(1).Tlv16(0x0001, 0x0050);                          // warning level, one user TLV
    body.Tlv(0x0002, fragments.Get());
    return SnacFrame(0x04, 0x07, body);
}

Frame SsiReply(const std::vector<SsiItem>& items, unsigned int lastChange, bool more)
{
    Builder body;
    body.U8(0).U16(static_cast<unsigned int>(items.size()));
    for (const SsiItem& item : items) {
        body.U16(static_cast<unsigned int>(item.name.size())).Text(item.name);
        body.U16(item.groupId).U16(item.itemId).U16(item.type);
        body.U16(static_cast<unsigned int>(item.tlvs.size())).Raw(item.tlvs);
    }
    if (!more)
        body.U32(lastChange);
    return SnacFrame(0x13, 0x06, body, more ? 0x0001 : 0x0000);
}

SsiItem SsiGroup(const std::string& name, unsigned int groupId, const std::vector<unsigned int>& members)
{
    Builder ids;
    for (unsigned int id : members)
        ids.U16(id);
    return {name, groupId, 0, 1, Builder().Tlv(0x00C8, ids.Get()).Get()};
}

SsiItem SsiBuddy(const std::string& uin, unsigned int groupId, unsigned int itemId, const std::string& nick)
{
    return {uin, groupId, itemId, 0, Builder().Tlv(0x0131, nick).Get()};
}

Frame OwnInfo(const std::string& uin, unsigned int status)
{
    Builder body;
    body.U8(static_cast<unsigned int>(uin.size())).Text(uin).U16(0).U16(1).Tlv32(0x0006, 0x10000000 | status);
    return SnacFrame(0x01, 0x0F, body);
}

Bytes LoginDigest(const std::string& key, const std::string& password)
{
    unsigned char passwordDigest[16];
    CMD5::Hash(password.data(), static_cast<unsigned>(password.size()), passwordDigest);
    Bytes input(key.begin(), key.end());
    input.insert(input.end(), passwordDigest, passwordDigest + 16);
    const std::string salt = "AOL Instant Messenger (SM)";
    input.insert(input.end(), salt.begin(), salt.end());
    Bytes digest(16);
    CMD5::Hash(input.data(), static_cast<unsigned>(input.size()), digest.data());
    return digest;
}

std::string Hex(const Bytes& bytes)
{
    std::string text;
    char pair[4];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof(pair), "%02X ", byte);
        text += pair;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace OscarWire
