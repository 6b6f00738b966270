#include "messaging/ChatItemArena.h"

namespace {

// The least block: a short message's line and its few pieces.
const size_t kLeastBlock = 256;

} // namespace

CChatItemArena::~CChatItemArena()
{
    for (Block* block = m_first; block;) {
        Block* next = block->next;
        ::operator delete(block);
        block = next;
    }
}

size_t CChatItemArena::Footprint(size_t bytes) { return (bytes + kAlign - 1) / kAlign * kAlign; }

char* CChatItemArena::Room(Block* block) { return reinterpret_cast<char*>(block) + Footprint(sizeof(Block)); }

CChatItemArena::Block* CChatItemArena::Append(size_t bytes)
{
    bytes = Footprint(bytes < kLeastBlock ? kLeastBlock : bytes);
    Block* block = static_cast<Block*>(::operator new(Footprint(sizeof(Block)) + bytes));
    block->next = nullptr;
    block->size = bytes;
    block->used = 0;
    if (m_last)
        m_last->next = block;
    else
        m_first = block;
    m_last = block;
    m_capacity += bytes;
    return block;
}

void CChatItemArena::Reserve(size_t bytes)
{
    // What is left in the blocks from the one being filled on.
    size_t left = 0;
    for (Block* block = m_current ? m_current : m_first; block; block = block->next)
        left += block->size - block->used;
    if (left < bytes)
        Append(bytes - left);
}

void* CChatItemArena::Allocate(size_t bytes)
{
    bytes = Footprint(bytes ? bytes : 1);
    if (!m_current)
        m_current = m_first;
    // A kept block that cannot take it is passed over: the next one may.
    while (m_current && m_current->size - m_current->used < bytes)
        m_current = m_current->next;
    if (!m_current) {
        // Each new block a quarter of all before it: few blocks, however many
        // pieces, and little room left over.
        m_current = Append(bytes > m_capacity / 4 ? bytes : m_capacity / 4);
    }
    void* at = Room(m_current) + m_current->used;
    m_current->used += bytes;
    return at;
}

void CChatItemArena::Release()
{
    for (Block* block = m_first; block; block = block->next)
        block->used = 0;
    m_current = m_first;
}
