// Growable array of every interface; each deliverable instantiates the types it needs.
#pragma once

#include <new>

template <class T>
class CJOVArray {
public:
    explicit CJOVArray(int growStep = 10)
        : m_data(nullptr), m_count(0), m_capacity(0), m_growStep(growStep > 0 ? growStep : 10) {}

    CJOVArray(const CJOVArray& other)
        : m_data(nullptr), m_count(0), m_capacity(0), m_growStep(other.m_growStep)
    {
        CopyFrom(other);
    }

    CJOVArray& operator=(const CJOVArray& other)
    {
        if (this != &other) {
            delete[] m_data;
            m_data = nullptr;
            m_count = 0;
            m_capacity = 0;
            m_growStep = other.m_growStep;
            CopyFrom(other);
        }
        return *this;
    }

    virtual ~CJOVArray() { delete[] m_data; }

    int Count() const { return m_count; }

    // An index past the end gives the last element. Out-of-range reads on an
    // empty array or with a negative index land on a spare slot, never outside.
    T& At(int index) { return m_data ? m_data[Clamp(index)] : Spare(); }
    const T& At(int index) const { return m_data ? m_data[Clamp(index)] : Spare(); }
    T& operator[](int index) { return At(index); }
    const T& operator[](int index) const { return At(index); }
    T& Last() { return At(m_count - 1); }
    const T& Last() const { return At(m_count - 1); }

    int Append(const T& element)
    {
        if (m_count == m_capacity && !Grow())
            return -1;
        m_data[m_count] = element;
        return m_count++;
    }

    int Insert(int index, const T& element)
    {
        if (index < 0)
            index = 0;
        if (index > m_count)
            index = m_count;
        if (m_count == m_capacity && !Grow())
            return -1;
        for (int i = m_count; i > index; --i)
            m_data[i] = m_data[i - 1];
        m_data[index] = element;
        ++m_count;
        return index;
    }

    void Remove(int index) { Remove(index, 1); }

    void Remove(int index, int n)
    {
        if (index < 0 || index >= m_count || n <= 0)
            return;
        if (n > m_count - index)
            n = m_count - index;
        for (int i = index; i + n < m_count; ++i)
            m_data[i] = m_data[i + n];
        for (int i = m_count - n; i < m_count; ++i)
            m_data[i] = T();  // release what the vacated slots held
        m_count -= n;
    }

    void RemoveAll()
    {
        for (int i = 0; i < m_count; ++i)
            m_data[i] = T();
        m_count = 0;
    }

    void Reserve(int n)
    {
        if (m_capacity < n)
            Reallocate(n);
    }

    void Compress()
    {
        if (m_count < m_capacity)
            Reallocate(m_count);
    }

private:
    int Clamp(int index) const
    {
        if (index >= m_count)
            index = m_count - 1;
        return index < 0 ? 0 : index;
    }

    static T& Spare()
    {
        static thread_local T spare;
        spare = T();
        return spare;
    }

    bool Grow() { return Reallocate(m_capacity + m_growStep); }

    bool Reallocate(int capacity)
    {
        T* data = nullptr;
        if (capacity > 0) {
            data = new (std::nothrow) T[capacity];
            if (!data)
                return false;
        }
        for (int i = 0; i < m_count && i < capacity; ++i)
            data[i] = m_data[i];
        delete[] m_data;
        m_data = data;
        m_capacity = capacity;
        if (m_count > capacity)
            m_count = capacity;
        return true;
    }

    void CopyFrom(const CJOVArray& other)
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

    T* m_data;
    int m_count;
    int m_capacity;
    int m_growStep;
};
