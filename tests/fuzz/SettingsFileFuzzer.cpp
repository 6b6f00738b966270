// The settings file "settings.jov" with its named-value maps: read as the
// store reads it at start, every value taken every way, every value's bytes
// read again as a map (the shape of "Accounts data" and of each account's
// settings), then saved and read back, which must give the same sections.
#include <algorithm>
#include <vector>

#include "MemoryFiles.h"
#include "core/settings/JOVDatabase.h"
#include "support/FuzzCheck.h"

namespace {

const wchar_t kPath[] = L"C:\\JOV\\settings.jov";
const wchar_t kSaved[] = L"C:\\JOV\\saved.jov";

bool Same(const NamedValue& a, const NamedValue& b)
{
    return a.GetName() == b.GetName() && a.GetSize() == b.GetSize() &&
           (a.GetSize() == 0 || std::equal(a.GetData(), a.GetData() + a.GetSize(), b.GetData()));
}

bool Same(const Database::SectionMap& a, const Database::SectionMap& b)
{
    if (a.size() != b.size())
        return false;
    for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y) {
        if (x->first != y->first || x->second.GetCount() != y->second.GetCount())
            return false;
        for (int i = 0; i < x->second.GetCount(); ++i) {
            if (!Same(*x->second.GetAt(i), *y->second.GetAt(i)))
                return false;
        }
    }
    return true;
}

// What a save keeps: names of no packed form (longer than 255 bytes in
// UTF-8, as a damaged name read as U+FFFD can become) have no place in the file.
Database::SectionMap Storable(const Database::SectionMap& sections)
{
    Database::SectionMap kept;
    for (const auto& [key, values] : sections) {
        if (NamedValue::Utf8Length(key) > NamedValue::kMaxNameBytes)
            continue;
        NamedValueMap& copy = kept[key];
        for (int i = 0; i < values.GetCount(); ++i) {
            if (values.GetAt(i)->GetPackedSize() > 0)
                copy.Set(*values.GetAt(i));
        }
    }
    return kept;
}

void ReadEveryWay(const NamedValueMap& values)
{
    for (int i = 0; i < values.GetCount(); ++i) {
        const NamedValue* value = values.GetAt(i);
        value->AsByte();
        value->AsWord();
        value->AsDWord();
        value->AsString();
        if (value->GetSize() > 0) {
            NamedValueMap inner;
            unsigned used = inner.Unpack(value->GetData(), value->GetSize());
            FUZZ_CHECK(used == 0 || used == value->GetSize());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    MemoryFiles::Put(kPath, data, size);
    Database::SectionMap sections;
    FUZZ_CHECK(Database::CSettingsFile(CJOVString(kPath)).Load(sections));
    for (const auto& section : sections) {
        ReadEveryWay(section.second);
        JOV_GUID guid = {};
        guid.SetString(section.first);
    }

    FUZZ_CHECK(Database::CSettingsFile(CJOVString(kSaved)).Save(sections));
    Database::SectionMap again;
    FUZZ_CHECK(Database::CSettingsFile(CJOVString(kSaved)).Load(again));
    FUZZ_CHECK(Same(Storable(sections), again));

    {
        // The store itself: loads at creation, saves at the end.
        Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(kPath))};
        const JOV_GUID section = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
        unsigned int number = 0;
        store.GetDWord(section, CJOVString(L"Value"), &number);
        store.SetDWord(section, CJOVString(L"Value"), &number);
    }
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
