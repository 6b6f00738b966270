// A group of an account in the account tree. Group 0 is the account's own
// "Not in list" branch, which always stays last. Its open flag is a value of
// the group in the contact-list model.
#pragma once

#include "ServicesManager.h"
#include "contactlist/GridItem.h"

class CGroupItem final : public CGridItem {
public:
    CGroupItem(unsigned int groupId, const CJOVString& name, const BranchStyle* style,
               Services::CServicesManager* bus);

    TreeItemKind GetKind() const override { return TreeItemKind::Group; }
    // Groups keep the order of arrival; group 0 goes last.
    int Compare(const CTreeItem* other) const override;
    void SetOpen(BYTE open) override;
    void Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren) override;
    void FillContextMenu(CMenuInfo& menu) override;

    unsigned int GetGroupId() const { return m_groupId; }
    const CJOVString& GetName() const { return m_name; }
    void SetName(const CJOVString& name) { m_name = name; }

protected:
    unsigned int GetGridChildCount() override { return GetVisibleChildCount(); }

private:
    // The own row: image, name and counters.
    void DrawCaption(HDC dc, const RECT* rect);
    // The online and total counts (or, for group 0, the total) after the name.
    void DrawCounter(HDC dc, RECT caption, int nameWidth);

    unsigned int m_groupId;
    CJOVString m_name;
    Services::CServicesManager* m_bus;
};

inline constexpr wchar_t kGroupOpenSetting[] = L"CLCtrl group open";
