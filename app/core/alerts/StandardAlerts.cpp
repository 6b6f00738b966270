#include "core/alerts/StandardAlerts.h"

#include <string>

#include "core/settings/NamedValueMap.h"

namespace {

const unsigned int kFirstStandard = 1;
const unsigned int kLastStandard = 4;
const unsigned int kNameIds[] = {154, 155, 156, 157};

CJOVString IdText(unsigned int id)
{
    return CJOVString(std::to_wstring(id).c_str());
}

std::vector<unsigned char> Pack(const NamedValueMap& map)
{
    std::vector<unsigned char> bytes(map.GetPackedSize());
    if (!bytes.empty() && map.Pack(bytes.data(), static_cast<unsigned>(bytes.size())) != bytes.size())
        bytes.clear();
    return bytes;
}

} // namespace

namespace Alert {

unsigned int StandardAlertName(unsigned int alertId)
{
    return alertId >= kFirstStandard && alertId <= kLastStandard ? kNameIds[alertId - kFirstStandard] : 0;
}

std::vector<unsigned char> PackStandardAlerts(const std::map<unsigned int, AlertInfo>& alerts)
{
    NamedValueMap outer;
    for (unsigned int id = kFirstStandard; id <= kLastStandard; ++id) {
        auto found = alerts.find(id);
        if (found == alerts.end())
            continue;
        NamedValueMap inner;
        NamedValue wav(CJOVString(L"Wav"));
        wav.SetString(found->second.wavPath);
        inner.Set(wav);
        NamedValue use(CJOVString(L"Use"));
        use.SetByte(found->second.use ? 1 : 0);
        inner.Set(use);
        std::vector<unsigned char> packed = Pack(inner);
        outer.Set(NamedValue(IdText(id), packed.data(), static_cast<unsigned>(packed.size())));
    }
    return Pack(outer);
}

int UnpackStandardAlerts(const unsigned char* bytes, unsigned size, std::map<unsigned int, AlertInfo>* alerts)
{
    NamedValueMap outer;
    if (bytes && size > 0)
        outer.Unpack(bytes, size);
    int stored = 0;
    for (unsigned int id = kFirstStandard; id <= kLastStandard; ++id) {
        const NamedValue* entry = outer.Find(IdText(id));
        if (!entry || entry->GetSize() == 0)
            continue;
        NamedValueMap inner;
        inner.Unpack(entry->GetData(), entry->GetSize());
        const NamedValue* wav = inner.Find(CJOVString(L"Wav"));
        if (!wav)
            continue;
        const NamedValue* use = inner.Find(CJOVString(L"Use"));
        AlertInfo info;
        info.name = StandardAlertName(id);
        info.wavPath = wav->AsString();
        info.use = !use || use->GetSize() == 0 || use->AsByte() != 0 ? 1 : 0;
        (*alerts)[id] = info;
        ++stored;
    }
    return stored;
}

} // namespace Alert
