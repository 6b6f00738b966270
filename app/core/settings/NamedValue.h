// One named run of bytes: a setting, an account's setting, a contact-list
// property. Untyped: the reader decides how the bytes are taken; numbers are
// little-endian, strings UTF-8 without a terminator.
//
// Packed form (the settings file's only record shape):
//   N (1 byte) | name, N bytes of UTF-8 | L (4 bytes, little-endian) | L data bytes
#pragma once

#include "JOVString.h"

class NamedValue {
public:
    // The name's UTF-8 form must fit the one-byte length of the packed form.
    static const unsigned kMaxNameBytes = 255;

    NamedValue();
    explicit NamedValue(const CJOVString& name);
    // A null or empty run makes an empty value.
    NamedValue(const CJOVString& name, const void* data, unsigned size);
    NamedValue(const NamedValue& other);
    NamedValue(NamedValue&& other) noexcept;
    NamedValue& operator=(const NamedValue& other);
    NamedValue& operator=(NamedValue&& other) noexcept;
    ~NamedValue();

    const CJOVString& GetName() const { return m_name; }
    unsigned GetSize() const { return m_size; }
    const unsigned char* GetData() const { return m_data; }

    // N + L + 5; 0 when the value has no packed form (name too long, or more
    // than 32 bits of bytes).
    unsigned GetPackedSize() const;
    // The bytes written, or 0 (nothing written) when the buffer is null or too small.
    unsigned Pack(unsigned char* buffer, unsigned capacity) const;
    // The bytes consumed, or 0 (value unchanged) when the record is cut or its
    // data cannot be allocated.
    unsigned Unpack(const unsigned char* buffer, unsigned length);

    // 0 when fewer bytes than the width are held.
    unsigned char AsByte() const;
    unsigned short AsWord() const;
    unsigned int AsDWord() const;
    CJOVString AsString() const;

    // Each replaces the bytes; when memory runs out the value keeps none.
    void SetByte(unsigned char value);
    void SetWord(unsigned short value);
    void SetDWord(unsigned int value);
    void SetString(const CJOVString& value);
    void SetData(const void* data, unsigned size);

    // Bytes of the text in UTF-8 (U+FFFD for an unpaired surrogate).
    static unsigned Utf8Length(const CJOVString& text);

private:
    void Free();

    CJOVString m_name;
    unsigned m_size;
    unsigned char* m_data;  // null when m_size is 0
};
