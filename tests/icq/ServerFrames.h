// Server frames as the scripted OSCAR server sends them, some built from what
// a client sent: shared by the ICQ tests and the fuzz targets' seeds.
#pragma once

#include "OscarWire.h"
#include "packets/ICQPacket.h"

inline OscarWire::Bytes Packed(CICQPacket& packet, int room = kMaxFrameSize)
{
    OscarWire::Bytes buffer(static_cast<size_t>(room));
    int n = packet.Pack(buffer.data(), room);
    buffer.resize(static_cast<size_t>(n > 0 ? n : 0));
    return buffer;
}

inline OscarWire::Bytes ServerSnac(unsigned int family, unsigned int subtype, const OscarWire::Bytes& body,
                                   unsigned int flags = 0, unsigned int requestId = 0)
{
    return OscarWire::FlapBytes(2, 1, OscarWire::SnacPayload(family, subtype, body, flags, requestId));
}

// A client's message as the server relays it: the same body, with the
// sender's user information after its screen name.
inline OscarWire::Bytes Relayed(CICQPacket& sent, unsigned int subtype)
{
    OscarWire::Bytes frame = Packed(sent);
    OscarWire::Bytes body(frame.begin() + 16, frame.end());
    if (subtype == 0x07) {
        size_t header = 11 + body[10];
        OscarWire::Bytes relayed(body.begin(), body.begin() + static_cast<long>(header));
        OscarWire::Builder user;
        user.U16(0).U16(1).Tlv16(0x0001, 0x0050);
        relayed.insert(relayed.end(), user.Get().begin(), user.Get().end());
        relayed.insert(relayed.end(), body.begin() + static_cast<long>(header), body.end());
        body = relayed;
    }
    return ServerSnac(0x04, subtype, body);
}

inline OscarWire::Bytes Meta(unsigned int type, const OscarWire::Bytes& data)
{
    OscarWire::Builder chunk;
    chunk.U32LE(1).U16LE(type).U16LE(2).Raw(data);
    return ServerSnac(0x15, 0x03,
                      OscarWire::Builder()
                          .U16(1)
                          .U16(static_cast<unsigned int>(chunk.Get().size() + 2))
                          .U16LE(static_cast<unsigned int>(chunk.Get().size()))
                          .Raw(chunk.Get()));
}

// A user-information block of count short strings.
inline OscarWire::Bytes Strings(unsigned int subtype, int count)
{
    OscarWire::Builder data;
    data.U16LE(subtype).U8(0x0A);
    for (int i = 0; i < count; ++i)
        data.U16LE(3).Text("ab").U8(0).U16LE(7).U8(1);
    return data;
}
