// An account at the top of the account tree, holding its groups. Its open
// flag is one of the account's own settings.
#pragma once

#include "ServicesManager.h"
#include "contactlist/TreeItem.h"

class CAccountItem final : public CTreeItem {
public:
    CAccountItem(unsigned int accountId, const CJOVString& name, const AccountBranchStyle& style,
                 Services::CServicesManager* bus);

    TreeItemKind GetKind() const override { return TreeItemKind::Account; }
    unsigned int GetItemHeight() override;
    int OnClick() override;
    void SetOpen(BYTE open) override;
    void Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren) override;
    void FillContextMenu(CMenuInfo& menu) override;

    unsigned int GetAccountId() const { return m_accountId; }
    const CJOVString& GetName() const { return m_name; }
    void SetName(const CJOVString& name) { m_name = name; }
    AccountBranchStyle& GetStyle() { return m_style; }

private:
    unsigned int m_accountId;
    CJOVString m_name;
    AccountBranchStyle m_style;
    Services::CServicesManager* m_bus;
};

inline constexpr wchar_t kAccountOpenSetting[] = L"CLCtrl account open";
