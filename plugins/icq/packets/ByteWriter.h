// Bounded cursor over the buffer a client packet is written into. Writing past
// the room it was given writes nothing, marks the writer failed and keeps it
// failed, so a packet that does not fit is refused instead of overrunning.
#pragma once

class CTLVCol;

class CByteWriter {
public:
    CByteWriter(unsigned char* buffer, int size, int start);

    void U8(unsigned char value);
    void U16(unsigned short value);    // big-endian
    void U32(unsigned int value);      // big-endian
    void U16LE(unsigned short value);
    void U32LE(unsigned int value);
    void Bytes(const void* bytes, int n);
    void Zeros(int n);
    // One TLV item, big-endian header.
    void Tlv(unsigned short type, const void* bytes, int n);
    void Tlv16(unsigned short type, unsigned short value);
    void Tlv32(unsigned short type, unsigned int value);
    // Every item of the collection in order; headers little-endian when asked.
    void Tlvs(const CTLVCol& items, bool littleEndian);
    // A length field written before its data is known: reserve it, then patch it.
    int Reserve16();
    void Patch16(int position, unsigned short value);
    // A count that must fit in the given number of bits (8 or 16); fails otherwise.
    bool Fits(int value, int bits);

    int Position() const { return m_position; }
    bool Failed() const { return m_failed; }

private:
    unsigned char* Take(int n);

    unsigned char* m_buffer;
    int m_size;
    int m_position;
    bool m_failed;
};
