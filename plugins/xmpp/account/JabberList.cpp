#include "JabberList.h"

#include "CriticalSectionLock.h"
#include "xml/Jid.h"

namespace {

int SlashOf(const CJOVString& jid)
{
    for (int i = 0; i < jid.GetLength(); ++i) {
        if (jid.Data()[i] == L'/')
            return i;
    }
    return -1;
}

// "node@domain/resource": an "@" before the first "/".
bool HasNodeAndResource(const CJOVString& jid)
{
    int slash = SlashOf(jid);
    if (slash < 0)
        return false;
    for (int i = 0; i < slash; ++i) {
        if (jid.Data()[i] == L'@')
            return true;
    }
    return false;
}

CJOVString ResourceOf(const CJOVString& jid)
{
    int slash = SlashOf(jid);
    return slash < 0 ? CJOVString() : jid.Substring(slash + 1, jid.GetLength() - slash - 1);
}

bool ComparesWithResource(int kind)
{
    return kind == kListWithResource7 || kind == kListWithResource8;
}

std::wstring Lowered(const CJOVString& text)
{
    CJOVString lowered = text;
    lowered.ToLower();
    return std::wstring(lowered.Data() ? lowered.Data() : L"", lowered.GetLength());
}

} // namespace

CJabberList::CJabberList()
{
    InitializeCriticalSection(&m_lock);
}

CJabberList::~CJabberList()
{
    DeleteCriticalSection(&m_lock);
}

std::wstring CJabberList::Key(int kind, const CJOVString& jid)
{
    return std::to_wstring(kind) + L":" + Lowered(jid);
}

CJOVString CJabberList::StoredJid(int kind, const CJOVString& jid)
{
    if (kind == kListWithResource8 || !HasNodeAndResource(jid))
        return jid;
    // A conference's JID keeps the resource: it names the participant.
    if (m_index.count(Key(kListKeepsResource, JidBare(jid, jid.GetLength()))))
        return jid;
    return JidBare(jid, jid.GetLength());
}

JABBER_LIST_ITEM* CJabberList::Find(int kind, const CJOVString& jid)
{
    auto found = m_index.find(Key(kind, jid));
    if (found != m_index.end())
        return found->second;
    if (ComparesWithResource(kind) || SlashOf(jid) < 0)
        return nullptr;
    found = m_index.find(Key(kind, JidBare(jid, jid.GetLength())));
    if (found == m_index.end() || found->second->keptResource)
        return nullptr;
    return found->second;
}

bool CJabberList::ListAdd(int kind, const CJOVString& jid, const Edit& edit)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    bool added = false;
    if (!item) {
        auto made = std::make_unique<JABBER_LIST_ITEM>();
        made->kind = kind;
        made->jid = StoredJid(kind, jid);
        made->keptResource = kind != kListWithResource8 && HasNodeAndResource(made->jid);
        item = made.get();
        m_index[Key(kind, made->jid)] = item;
        m_items.push_back(std::move(made));
        added = true;
    }
    if (edit)
        edit(*item);
    return added;
}

bool CJabberList::ListEdit(int kind, const CJOVString& jid, const Edit& edit)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    if (!item)
        return false;
    if (edit)
        edit(*item);
    return true;
}

int CJabberList::ListFindIndex(int kind, const CJOVString& jid)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    for (size_t i = 0; item && i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool CJabberList::ListGetItem(int kind, const CJOVString& jid, JABBER_LIST_ITEM& copy)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    if (item)
        copy = *item;
    return item != nullptr;
}

bool CJabberList::ListGetItem(int position, JABBER_LIST_ITEM& copy)
{
    CCriticalSectionLock hold(m_lock);
    if (position < 1 || position > static_cast<int>(m_items.size()))
        return false;
    copy = *m_items[static_cast<size_t>(position) - 1];
    return true;
}

bool CJabberList::ListGetItemByContact(unsigned int contactId, JABBER_LIST_ITEM& copy)
{
    CCriticalSectionLock hold(m_lock);
    for (const auto& item : m_items) {
        if (contactId != 0 && item->kind == kListRoster && item->contactId == contactId) {
            copy = *item;
            return true;
        }
    }
    return false;
}

std::vector<JABBER_LIST_ITEM> CJabberList::ListItems()
{
    CCriticalSectionLock hold(m_lock);
    std::vector<JABBER_LIST_ITEM> items;
    items.reserve(m_items.size());
    for (const auto& item : m_items)
        items.push_back(*item);
    return items;
}

int CJabberList::ListCount()
{
    CCriticalSectionLock hold(m_lock);
    return static_cast<int>(m_items.size());
}

void CJabberList::ListRemove(int kind, const CJOVString& jid)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    if (!item)
        return;
    m_index.erase(Key(item->kind, item->jid));
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->get() == item) {
            m_items.erase(it);
            break;
        }
    }
}

void CJabberList::ListClear()
{
    CCriticalSectionLock hold(m_lock);
    m_index.clear();
    m_items.clear();
}

bool CJabberList::ListSetResource(int kind, const CJOVString& jid, Protocols::Status status,
                                  const CJOVString& statusText, signed char priority)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, jid);
    if (!item)
        return false;
    if (SlashOf(jid) < 0) {
        item->inlineStatus = status;
        item->inlineStatusText = statusText;
        return false;
    }
    CJOVString name = ResourceOf(jid);
    for (JabberResourceStatus& resource : item->resources) {
        if (resource.name == name) {
            resource.status = status;
            resource.statusText = statusText;
            resource.priority = priority;
            return false;
        }
    }
    JabberResourceStatus resource;
    resource.name = name;
    resource.status = status;
    resource.statusText = statusText;
    resource.priority = priority;
    item->resources.push_back(resource);
    return true;
}

void CJabberList::ListRemoveResource(int kind, const CJOVString& fullJid)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kind, fullJid);
    if (!item || SlashOf(fullJid) < 0)
        return;
    CJOVString name = ResourceOf(fullJid);
    for (size_t i = 0; i < item->resources.size(); ++i) {
        if (item->resources[i].name != name)
            continue;
        item->resources.erase(item->resources.begin() + static_cast<std::ptrdiff_t>(i));
        int removed = static_cast<int>(i);
        if (item->lastResource == removed)
            item->lastResource = -1;
        else if (item->lastResource > removed)
            --item->lastResource;
        if (item->manualResource == removed) {
            item->manualResource = -1;
            item->resourceMode = 1;
        } else if (item->manualResource > removed) {
            --item->manualResource;
        }
        return;
    }
}

CJOVString CJabberList::ListGetBestResource(const CJOVString& jid)
{
    CCriticalSectionLock hold(m_lock);
    JABBER_LIST_ITEM* item = Find(kListRoster, jid);
    if (!item || item->resources.empty())
        return CJOVString();
    const auto& resources = item->resources;
    int count = static_cast<int>(resources.size());
    if (count == 1)
        return resources[0].name;
    if (item->resourceMode == 1 && item->lastResource >= 0 && item->lastResource < count)
        return resources[static_cast<size_t>(item->lastResource)].name;
    if (item->resourceMode == 2 && item->manualResource >= 0 && item->manualResource < count)
        return resources[static_cast<size_t>(item->manualResource)].name;
    size_t best = 0;
    for (size_t i = 1; i < resources.size(); ++i) {
        if (resources[i].priority > resources[best].priority)
            best = i;
    }
    return resources[best].name;
}

int CJabberList::CompareListItems(const JABBER_LIST_ITEM& a, const JABBER_LIST_ITEM& b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    bool withResource = ComparesWithResource(a.kind) || a.keptResource || b.keptResource;
    std::wstring left = Lowered(withResource ? a.jid : JidBare(a.jid, a.jid.GetLength()));
    std::wstring right = Lowered(withResource ? b.jid : JidBare(b.jid, b.jid.GetLength()));
    return left.compare(right) < 0 ? -1 : left == right ? 0 : 1;
}
