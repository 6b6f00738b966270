// Growable array of every interface; each deliverable instantiates the types it needs.
// Members are defined outside the class so that an exported instance exports them all.
#pragma once

#include <functional>
#include <new>
#include <utility>

template <class T>
class CJOVArray {
public:
    // A step of 0 or less could never make room: such arrays grow by 10.
    explicit CJOVArray(int growStep = 10);
    CJOVArray(const CJOVArray& other);
    CJOVArray& operator=(const CJOVArray& other);
    virtual ~CJOVArray();

    int Count() const;

    // An index past the end gives the last element, a negative one the first.
    // An empty array answers an unused slot (a per-thread spare when it has no
    // buffer), never memory outside.
    T& At(int index);
    const T& At(int index) const;
    T& operator[](int index);
    const T& operator[](int index) const;
    T& Last();
    const T& Last() const;

    // Both answer the element's index, or -1 when no room could be made.
    int Append(const T& element);
    int Insert(int index, const T& element);  // index limited to 0..Count()

    void Remove(int index);
    void Remove(int index, int n);
    void RemoveAll();  // keeps the buffer
    void Reserve(int n);
    void Compress();

private:
    int Clamp(int index) const;
    static T& Spare();
    bool Grow();
    bool Reallocate(int capacity);
    bool Holds(const T& element) const;
    int AppendCopy(const T& element);
    int InsertCopy(int index, const T& element);
    void Swap(CJOVArray& other);
    void CopyFrom(const CJOVArray& other);

    T* m_data;
    int m_count;
    int m_capacity;
    int m_growStep;
};

template <class T>
CJOVArray<T>::CJOVArray(int growStep)
    : m_data(nullptr), m_count(0), m_capacity(0), m_growStep(growStep > 0 ? growStep : 10)
{
}

template <class T>
CJOVArray<T>::CJOVArray(const CJOVArray& other)
    : m_data(nullptr), m_count(0), m_capacity(0), m_growStep(other.m_growStep)
{
    CopyFrom(other);
}

template <class T>
CJOVArray<T>& CJOVArray<T>::operator=(const CJOVArray& other)
{
    if (this != &other) {
        // Copy first, free after: the source may live inside one of our elements.
        CJOVArray copy(other);
        Swap(copy);
    }
    return *this;
}

template <class T>
CJOVArray<T>::~CJOVArray()
{
    delete[] m_data;
}

template <class T>
int CJOVArray<T>::Count() const
{
    return m_count;
}

template <class T>
T& CJOVArray<T>::At(int index)
{
    return m_data ? m_data[Clamp(index)] : Spare();
}

template <class T>
const T& CJOVArray<T>::At(int index) const
{
    return m_data ? m_data[Clamp(index)] : Spare();
}

template <class T>
T& CJOVArray<T>::operator[](int index)
{
    return At(index);
}

template <class T>
const T& CJOVArray<T>::operator[](int index) const
{
    return At(index);
}

template <class T>
T& CJOVArray<T>::Last()
{
    return At(m_count - 1);
}

template <class T>
const T& CJOVArray<T>::Last() const
{
    return At(m_count - 1);
}

template <class T>
int CJOVArray<T>::Append(const T& element)
{
    if (m_count == m_capacity) {
        if (Holds(element))
            return AppendCopy(element);  // growth moves the source
        if (!Grow())
            return -1;
    }
    m_data[m_count] = element;
    return m_count++;
}

template <class T>
int CJOVArray<T>::Insert(int index, const T& element)
{
    if (Holds(element))
        return InsertCopy(index, element);  // shifting moves the source
    if (index < 0)
        index = 0;
    if (index > m_count)
        index = m_count;
    if (m_count == m_capacity && !Grow())
        return -1;
    for (int i = m_count; i > index; --i)
        m_data[i] = std::move(m_data[i - 1]);
    m_data[index] = element;
    ++m_count;
    return index;
}

template <class T>
void CJOVArray<T>::Remove(int index)
{
    Remove(index, 1);
}

template <class T>
void CJOVArray<T>::Remove(int index, int n)
{
    if (index < 0 || index >= m_count || n <= 0)
        return;
    if (n > m_count - index)
        n = m_count - index;
    for (int i = index; i + n < m_count; ++i)
        m_data[i] = std::move(m_data[i + n]);
    for (int i = m_count - n; i < m_count; ++i)
        m_data[i] = T();  // release what the vacated slots held
    m_count -= n;
}

template <class T>
void CJOVArray<T>::RemoveAll()
{
    for (int i = 0; i < m_count; ++i)
        m_data[i] = T();
    m_count = 0;
}

template <class T>
void CJOVArray<T>::Reserve(int n)
{
    if (m_capacity < n)
        Reallocate(n);
}

template <class T>
void CJOVArray<T>::Compress()
{
    if (m_count < m_capacity)
        Reallocate(m_count);
}

template <class T>
int CJOVArray<T>::Clamp(int index) const
{
    if (index >= m_count)
        index = m_count - 1;
    return index < 0 ? 0 : index;
}

template <class T>
T& CJOVArray<T>::Spare()
{
    static thread_local T spare;
    spare = T();
    return spare;
}

template <class T>
bool CJOVArray<T>::Grow()
{
    return Reallocate(m_capacity + m_growStep);
}

template <class T>
bool CJOVArray<T>::Reallocate(int capacity)
{
    T* data = nullptr;
    if (capacity > 0) {
        data = new (std::nothrow) T[capacity];
        if (!data)
            return false;
    }
    for (int i = 0; i < m_count && i < capacity; ++i)
        data[i] = std::move(m_data[i]);
    delete[] m_data;
    m_data = data;
    m_capacity = capacity;
    if (m_count > capacity)
        m_count = capacity;
    return true;
}

template <class T>
bool CJOVArray<T>::Holds(const T& element) const
{
    const T* p = &element;
    return m_data && !std::less<const T*>()(p, m_data) && std::less<const T*>()(p, m_data + m_capacity);
}

template <class T>
int CJOVArray<T>::AppendCopy(const T& element)
{
    T copy;
    copy = element;
    return Append(copy);
}

template <class T>
int CJOVArray<T>::InsertCopy(int index, const T& element)
{
    T copy;
    copy = element;
    return Insert(index, copy);
}

template <class T>
void CJOVArray<T>::Swap(CJOVArray& other)
{
    std::swap(m_data, other.m_data);
    std::swap(m_count, other.m_count);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_growStep, other.m_growStep);
}

template <class T>
void CJOVArray<T>::CopyFrom(const CJOVArray& other)
{
    if (other.m_capacity <= 0)
        return;
    m_data = new (std::nothrow) T[other.m_capacity];
    if (!m_data)
        return;
    for (int i = 0; i < other.m_count; ++i)
        m_data[i] = other.m_data[i];
    m_count = other.m_count;
    m_capacity = other.m_capacity;
}
