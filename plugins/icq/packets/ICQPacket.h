// FLAP frame: the base of every packet exchanged with the ICQ servers.
// A packet object is a short-lived value used on the thread of the account
// that builds or parses it; it does no input/output and holds no lock.
// Client packets (CCLI_*) write themselves with Pack, server packets (CSRV_*)
// parse with Unpack; the other direction answers NotSupported (0).
#pragma once

#include "ByteReader.h"
#include "ByteWriter.h"

const int kFlapHeaderSize = 6;
// The largest frame the 16-bit FLAP data length can describe. The account
// gives every client packet this much room, so whatever can be framed is sent.
const int kMaxFrameSize = kFlapHeaderSize + 0xFFFF;

class CICQPacket {
public:
    CICQPacket();
    CICQPacket(unsigned char channel, unsigned short sequence, unsigned short dataLength);
    virtual ~CICQPacket();

    // Writes the packet into buffer, which has size bytes of room; answers the
    // number of bytes written, or 0 when the packet does not fit (nothing usable
    // is written then). The FLAP header alone is 6 bytes.
    virtual int Pack(unsigned char* buffer, int size);
    // Parses a received frame (FLAP header included); 0 when the bytes are not
    // this packet, else a positive count of bytes taken. The FLAP header alone
    // answers 6.
    virtual int Unpack(const unsigned char* buffer, int length);

    unsigned char GetChannel() const { return m_channel; }
    unsigned short GetSequence() const { return m_sequence; }
    unsigned short GetDataLength() const { return m_dataLength; }

protected:
    static int NotSupported() { return 0; }
    // The bytes of the frame as far as both the buffer and the header's data
    // length reach: parses never read beyond it.
    int FrameLength(int length) const;
    // Sets the data length from what the writer holds behind the FLAP header,
    // writes that header and answers the packet size; 0 when the writer failed.
    int FinishFrame(unsigned char* buffer, int size, const CByteWriter& writer);

    unsigned char m_channel;
    unsigned short m_sequence;
    unsigned short m_dataLength;
};
