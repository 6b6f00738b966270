// Menus as data: a plug-in fills a CMenuInfo, the program shows it as a native menu.
#pragma once

#include "JOVArray.h"
#include "JOVString.h"

#include <cstdint>

class CMenuInfo;

// One menu item. A submenu item owns its submenu: copying the item copies the
// submenu, and the item's destructor frees it.
class JOV_COMMON_API CMenuItemInfo {
public:
    enum MenuItemType {
        MenuItemCommand = 0,
        MenuItemSeparator = 1,
        MenuItemGrayed = 2,
        MenuItemTitle = 3,  // a disabled heading drawn as a title band
        MenuItemSubmenu = 4,
    };

    explicit CMenuItemInfo(MenuItemType type = MenuItemCommand);
    CMenuItemInfo(MenuItemType type, const CJOVString& caption);
    CMenuItemInfo(const CJOVString& caption, void* handler, int checked);
    CMenuItemInfo(const CJOVString& caption, unsigned int commandId, int checked);
    // A submenu item holding its own copy of the menu.
    CMenuItemInfo(const CJOVString& caption, const CMenuInfo& submenu);
    CMenuItemInfo(const CMenuItemInfo& other);
    CMenuItemInfo(CMenuItemInfo&& other) noexcept;
    CMenuItemInfo& operator=(const CMenuItemInfo& other);
    CMenuItemInfo& operator=(CMenuItemInfo&& other) noexcept;
    virtual ~CMenuItemInfo();

    bool operator<(const CMenuItemInfo& other) const { return commandId < other.commandId; }

    // The item's own submenu, or null.
    CMenuInfo* GetSubmenu() { return m_submenu; }
    const CMenuInfo* GetSubmenu() const { return m_submenu; }

    MenuItemType type;
    CJOVString caption;
    CJOVArray<unsigned int> images;  // skin image ids drawn before the caption
    // Chosen by the item's creator; the host calls it with the id of the menu's
    // subject and `param`. The library only carries it.
    void* handler;
    unsigned int commandId;  // 0: the host picks one
    uintptr_t param;         // wide enough for the pointers plug-ins put here
    int checked;

private:
    // Takes every field but the submenu, which the caller settles.
    void CopyFields(const CMenuItemInfo& other);

    CMenuInfo* m_submenu;
};

// The library's own instance of the array, shared by every module.
extern template class JOV_COMMON_API CJOVArray<CMenuItemInfo>;

// The items in menu order.
class JOV_COMMON_API CMenuInfo : public CJOVArray<CMenuItemInfo> {
public:
    CMenuInfo();
    CMenuInfo(const CMenuInfo& other);
    CMenuInfo& operator=(const CMenuInfo& other);
    virtual ~CMenuInfo();

    CJOVString title;  // carried with the menu; the host does not show it
};
