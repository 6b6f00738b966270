#include "StatusInfoTable.h"

void CStatusInfoTable::BuildLocked(Skins::CSkinManager* skins)
{
    if (m_table.Count() == 0)
        m_fill(skins, m_table);
}

void CStatusInfoTable::Build(Skins::CSkinManager* skins)
{
    std::lock_guard<std::mutex> hold(m_lock);
    BuildLocked(skins);
}

void CStatusInfoTable::Clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_table.RemoveAll();
}

int CStatusInfoTable::Count()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_table.Count();
}

bool CStatusInfoTable::Find(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info)
{
    std::lock_guard<std::mutex> hold(m_lock);
    BuildLocked(skins);
    for (int i = 0; i < m_table.Count(); ++i) {
        if (m_table[i].status == status) {
            info.status = m_table[i].status;
            info.name = m_table[i].name;
            info.images = m_table[i].images;
            return true;
        }
    }
    return false;
}
