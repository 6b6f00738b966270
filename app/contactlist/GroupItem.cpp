#include "contactlist/GroupItem.h"

#include "ServiceIds.h"
#include "cl/ContactList.h"

CGroupItem::CGroupItem(unsigned int groupId, const CJOVString& name, const BranchStyle* style,
                       Services::CServicesManager* bus)
    : CGridItem(style), m_groupId(groupId), m_name(name), m_bus(bus)
{
}

int CGroupItem::Compare(const CTreeItem*) const
{
    return m_groupId != 0 ? -1 : 1;
}

void CGroupItem::SetOpen(BYTE open)
{
    CGridItem::SetOpen(open);
    auto* model = m_bus ? static_cast<CL::CContactList*>(m_bus->GetService(GUID_ContactList)) : nullptr;
    if (!model || m_groupId == 0)
        return;
    const BYTE value = IsOpen() ? 1 : 0;
    model->SetByte(m_groupId, CJOVString(kGroupOpenSetting), &value);
}
