// A section of the status tree: "Online" (0), "Offline" (1) or "Not in list"
// (2). Its open flag lives in the program's settings.
#pragma once

#include "ServicesManager.h"
#include "contactlist/GridItem.h"

class CStatusItem final : public CGridItem {
public:
    CStatusItem(unsigned int section, const BranchStyle* style, Services::CServicesManager* bus);

    TreeItemKind GetKind() const override { return TreeItemKind::Status; }
    void SetOpen(BYTE open) override;
    void Draw(HDC dc, const RECT* rect, const RECT* clip, BYTE drawChildren) override;

    unsigned int GetSection() const { return m_section; }
    // The setting that keeps a section's open flag; null for no section.
    static const wchar_t* OpenSettingName(unsigned int section);

protected:
    // Every child counts, shown or not.
    unsigned int GetGridChildCount() override { return GetChildCount(); }

private:
    // The own row: image, caption and its lines.
    void DrawCaption(HDC dc, const RECT* rect);

    unsigned int m_section;
    Services::CServicesManager* m_bus;
};
