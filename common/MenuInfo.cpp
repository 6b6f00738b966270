#include "MenuInfo.h"

#include <new>

// Exported by the declaration in the header.
template class CJOVArray<CMenuItemInfo>;

namespace {

CMenuInfo* CopyOf(const CMenuInfo* menu)
{
    return menu ? new (std::nothrow) CMenuInfo(*menu) : nullptr;
}

} // namespace

CMenuItemInfo::CMenuItemInfo(MenuItemType itemType)
    : type(itemType), handler(nullptr), commandId(0), param(0), checked(0), m_submenu(nullptr)
{
}

CMenuItemInfo::CMenuItemInfo(MenuItemType itemType, const CJOVString& itemCaption)
    : type(itemType), caption(itemCaption), handler(nullptr), commandId(0), param(0), checked(0),
      m_submenu(nullptr)
{
}

CMenuItemInfo::CMenuItemInfo(const CJOVString& itemCaption, void* itemHandler, int itemChecked)
    : type(MenuItemCommand), caption(itemCaption), handler(itemHandler), commandId(0), param(0),
      checked(itemChecked), m_submenu(nullptr)
{
}

CMenuItemInfo::CMenuItemInfo(const CJOVString& itemCaption, unsigned int itemCommandId, int itemChecked)
    : type(MenuItemCommand), caption(itemCaption), handler(nullptr), commandId(itemCommandId), param(0),
      checked(itemChecked), m_submenu(nullptr)
{
}

CMenuItemInfo::CMenuItemInfo(const CJOVString& itemCaption, const CMenuInfo& submenu)
    : type(MenuItemSubmenu), caption(itemCaption), handler(nullptr), commandId(0), param(0), checked(0),
      m_submenu(CopyOf(&submenu))
{
}

CMenuItemInfo::CMenuItemInfo(const CMenuItemInfo& other)
    : type(other.type), caption(other.caption), images(other.images), handler(other.handler),
      commandId(other.commandId), param(other.param), checked(other.checked), m_submenu(CopyOf(other.m_submenu))
{
}

CMenuItemInfo::CMenuItemInfo(CMenuItemInfo&& other) noexcept
    : type(other.type), caption(other.caption), images(other.images), handler(other.handler),
      commandId(other.commandId), param(other.param), checked(other.checked), m_submenu(other.m_submenu)
{
    other.m_submenu = nullptr;
}

CMenuItemInfo& CMenuItemInfo::operator=(const CMenuItemInfo& other)
{
    if (this == &other)
        return *this;
    // Copy before freeing: the source may lie inside our own submenu.
    CMenuInfo* submenu = CopyOf(other.m_submenu);
    CopyFields(other);
    delete m_submenu;
    m_submenu = submenu;
    return *this;
}

CMenuItemInfo& CMenuItemInfo::operator=(CMenuItemInfo&& other) noexcept
{
    if (this == &other)
        return *this;
    CMenuInfo* submenu = other.m_submenu;
    other.m_submenu = nullptr;
    CopyFields(other);
    delete m_submenu;
    m_submenu = submenu;
    return *this;
}

void CMenuItemInfo::CopyFields(const CMenuItemInfo& other)
{
    type = other.type;
    caption = other.caption;
    images = other.images;
    handler = other.handler;
    commandId = other.commandId;
    param = other.param;
    checked = other.checked;
}

CMenuItemInfo::~CMenuItemInfo()
{
    delete m_submenu;
}

CMenuInfo::CMenuInfo() : CJOVArray<CMenuItemInfo>(10) {}

CMenuInfo::CMenuInfo(const CMenuInfo& other) : CJOVArray<CMenuItemInfo>(other), title(other.title) {}

CMenuInfo& CMenuInfo::operator=(const CMenuInfo& other)
{
    if (this != &other) {
        CJOVString otherTitle(other.title);  // other may be a submenu of ours, gone after the next line
        CJOVArray<CMenuItemInfo>::operator=(other);
        title = otherTitle;
    }
    return *this;
}

CMenuInfo::~CMenuInfo() {}
