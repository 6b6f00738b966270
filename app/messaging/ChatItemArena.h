// Memory for one message's laid-out lines and their pieces: taken in order
// as they are made, and given back all at once when the lines go, so that a
// message of many pieces costs the heap a few blocks, not a block a piece.
// What it took stays for the next layout, which needs about as much. The
// objects made in it are ended by their owners; the arena only holds their
// bytes.
// UI thread.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

class CChatItemArena {
public:
    // Enough for the items' pointers and numbers.
    static constexpr size_t kAlign = alignof(void*);

    CChatItemArena() = default;
    ~CChatItemArena();
    CChatItemArena(const CChatItemArena&) = delete;
    CChatItemArena& operator=(const CChatItemArena&) = delete;

    // Room for bytes in all, in as few blocks as may be, before they are asked for.
    void Reserve(size_t bytes);
    // bytes aligned to kAlign; throws std::bad_alloc as new does.
    void* Allocate(size_t bytes);
    template <class T, class... Args>
    T* Make(Args&&... args)
    {
        static_assert(alignof(T) <= kAlign, "the arena aligns to kAlign");
        return new (Allocate(sizeof(T))) T(std::forward<Args>(args)...);
    }
    // Everything taken is free again: the objects in it must have been ended.
    void Release();

    // What an object of bytes takes of it.
    static size_t Footprint(size_t bytes);
    // The bytes of all its blocks.
    size_t GetCapacity() const { return m_capacity; }

private:
    struct Block {
        Block* next;
        size_t size;  // of the room after the header
        size_t used;
    };

    static char* Room(Block* block);
    // A block of at least bytes after the last one.
    Block* Append(size_t bytes);

    Block* m_first = nullptr;
    Block* m_last = nullptr;
    Block* m_current = nullptr;  // the block being filled
    size_t m_capacity = 0;  // of every block
};
