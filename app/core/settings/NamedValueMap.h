// Named values unique by name, in ascending name order (CJOVString order).
// Packed form: the packed values one after another, nothing around them.
#pragma once

#include <vector>

#include "core/settings/NamedValue.h"

class NamedValueMap {
public:
    NamedValue* Find(const CJOVString& name);
    const NamedValue* Find(const CJOVString& name) const;
    // In name order; null past the end.
    NamedValue* GetAt(int index);
    const NamedValue* GetAt(int index) const;
    int GetCount() const { return static_cast<int>(m_values.size()); }

    // Adds a copy when no value has that name (true); else keeps the existing one (false).
    bool Set(const NamedValue& value);
    void Clear() { m_values.clear(); }

    // Sum of the packed values (those with a packed form); 0xFFFFFFFF when
    // beyond 32 bits, which no buffer then holds.
    unsigned GetPackedSize() const;
    // The total written, or 0 (nothing written) when the buffer is too small.
    unsigned Pack(unsigned char* buffer, unsigned capacity) const;
    // Adds the packed values, the first of each name winning. Answers the
    // bytes consumed; 0 for a length of 0 or when a record is damaged, in
    // which case the values before it stay.
    unsigned Unpack(const unsigned char* bytes, unsigned length);

private:
    bool Insert(NamedValue&& value);
    std::vector<NamedValue>::iterator LowerBound(const CJOVString& name);
    std::vector<NamedValue>::const_iterator LowerBound(const CJOVString& name) const;

    std::vector<NamedValue> m_values;  // ascending by name
};
