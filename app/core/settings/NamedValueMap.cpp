#include "core/settings/NamedValueMap.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

bool NameBefore(const NamedValue& value, const CJOVString& name)
{
    return value.GetName() < name;
}

} // namespace

std::vector<NamedValue>::iterator NamedValueMap::LowerBound(const CJOVString& name)
{
    return std::lower_bound(m_values.begin(), m_values.end(), name, NameBefore);
}

std::vector<NamedValue>::const_iterator NamedValueMap::LowerBound(const CJOVString& name) const
{
    return std::lower_bound(m_values.begin(), m_values.end(), name, NameBefore);
}

NamedValue* NamedValueMap::Find(const CJOVString& name)
{
    auto it = LowerBound(name);
    return it != m_values.end() && it->GetName() == name ? &*it : nullptr;
}

const NamedValue* NamedValueMap::Find(const CJOVString& name) const
{
    auto it = LowerBound(name);
    return it != m_values.end() && it->GetName() == name ? &*it : nullptr;
}

NamedValue* NamedValueMap::GetAt(int index)
{
    return index >= 0 && index < GetCount() ? &m_values[static_cast<size_t>(index)] : nullptr;
}

const NamedValue* NamedValueMap::GetAt(int index) const
{
    return index >= 0 && index < GetCount() ? &m_values[static_cast<size_t>(index)] : nullptr;
}

bool NamedValueMap::Set(const NamedValue& value)
{
    return Insert(NamedValue(value));
}

bool NamedValueMap::Insert(NamedValue&& value)
{
    auto it = LowerBound(value.GetName());
    if (it != m_values.end() && it->GetName() == value.GetName())
        return false;
    m_values.insert(it, std::move(value));
    return true;
}

unsigned NamedValueMap::GetPackedSize() const
{
    unsigned long long total = 0;
    for (const NamedValue& value : m_values)
        total += value.GetPackedSize();
    return total > UINT_MAX ? UINT_MAX : static_cast<unsigned>(total);
}

unsigned NamedValueMap::Pack(unsigned char* buffer, unsigned capacity) const
{
    unsigned long long total = 0;
    for (const NamedValue& value : m_values)
        total += value.GetPackedSize();
    if (!buffer || total > capacity)
        return 0;
    unsigned offset = 0;
    for (const NamedValue& value : m_values)
        offset += value.Pack(buffer + offset, capacity - offset);
    return offset;
}

unsigned NamedValueMap::Unpack(const unsigned char* bytes, unsigned length)
{
    if (!bytes || length == 0)
        return 0;
    // Read whole, then merged in one pass: put in place one by one, values out
    // of name order would each move every value after their place.
    std::vector<NamedValue> read;
    unsigned offset = 0;
    bool damaged = false;
    while (offset < length) {
        NamedValue value;
        const unsigned used = value.Unpack(bytes + offset, length - offset);
        if (used == 0) {
            damaged = true;
            break;
        }
        read.push_back(std::move(value));
        offset += used;
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const NamedValue& a, const NamedValue& b) { return a.GetName() < b.GetName(); });
    // The first of each name wins, and a value held before wins over all.
    std::vector<NamedValue> merged;
    merged.reserve(m_values.size() + read.size());
    auto held = m_values.begin();
    for (auto next = read.begin(); next != read.end();) {
        const auto first = next;
        const CJOVString name = first->GetName();
        while (next != read.end() && next->GetName() == name)
            ++next;
        while (held != m_values.end() && held->GetName() < name)
            merged.push_back(std::move(*held++));
        if (held == m_values.end() || held->GetName() != name)
            merged.push_back(std::move(*first));
    }
    for (; held != m_values.end(); ++held)
        merged.push_back(std::move(*held));
    m_values.swap(merged);
    return damaged ? 0 : offset;
}
