// Bounded cursor over one received frame. Every parse of a server packet reads
// through it: a read past the end answers 0 (or no bytes), marks the reader
// failed and stays failed, so a hostile length can never lead a parse out of
// the frame.
#pragma once

class CByteReader {
public:
    CByteReader();
    CByteReader(const unsigned char* data, int length);

    unsigned char U8();
    unsigned short U16();    // big-endian
    unsigned int U32();      // big-endian
    unsigned short U16LE();
    unsigned int U32LE();

    // The next n bytes, or null (and failed) when fewer than n remain.
    const unsigned char* Bytes(int n);
    bool Skip(int n);
    // A reader over the next n bytes, which this reader passes over; an empty,
    // failed reader when fewer than n remain.
    CByteReader Sub(int n);
    // A reader over everything from the current position to the end.
    CByteReader Rest() const;

    bool Has(int n) const { return !m_failed && n >= 0 && n <= m_length - m_position; }
    int Position() const { return m_position; }
    int Remaining() const { return m_length - m_position; }
    int Length() const { return m_length; }
    bool Failed() const { return m_failed; }
    const unsigned char* Data() const { return m_data; }
    const unsigned char* Current() const { return m_data ? m_data + m_position : nullptr; }

private:
    const unsigned char* Take(int n);

    const unsigned char* m_data;
    int m_length;
    int m_position;
    bool m_failed;
};
