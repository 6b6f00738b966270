#include "contactlist/AccountItem.h"

#include "HiDpi.h"
#include "ServiceIds.h"
#include "protocols/ProtocolsManager.h"

CAccountItem::CAccountItem(unsigned int accountId, const CJOVString& name, const AccountBranchStyle& style,
                           Services::CServicesManager* bus)
    : m_accountId(accountId), m_name(name), m_style(style), m_bus(bus)
{
}

unsigned int CAccountItem::GetItemHeight()
{
    return static_cast<unsigned int>(HIDPI_ScaleY(kBranchRowUnits));
}

int CAccountItem::OnClick()
{
    SetOpen(IsOpen() ? 0 : 1);
    return 1;
}

void CAccountItem::SetOpen(BYTE open)
{
    CTreeItem::SetOpen(open);
    auto* manager =
        m_bus ? static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager)) : nullptr;
    if (!manager)
        return;
    const BYTE value = IsOpen() ? 1 : 0;
    manager->SetByte(m_accountId, CJOVString(kAccountOpenSetting), &value);
}
