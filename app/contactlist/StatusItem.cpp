#include "contactlist/StatusItem.h"

#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"

CStatusItem::CStatusItem(unsigned int section, const BranchStyle* style, Services::CServicesManager* bus)
    : CGridItem(style), m_section(section), m_bus(bus)
{
}

const wchar_t* CStatusItem::OpenSettingName(unsigned int section)
{
    switch (section) {
    case 0:
        return L"CLCtrl online open";
    case 1:
        return L"CLCtrl offline open";
    case 2:
        return L"CLCtrl not in cl open";
    default:
        return nullptr;
    }
}

void CStatusItem::SetOpen(BYTE open)
{
    CGridItem::SetOpen(open);
    const wchar_t* name = OpenSettingName(m_section);
    auto* store = m_bus ? static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database)) : nullptr;
    if (!store || !name)
        return;
    const unsigned char value = IsOpen() ? 1 : 0;
    store->SetByte(GUID_GUI, CJOVString(name), &value);
}
