// The text a copy or a save collects, item by item: NUL-terminated wide
// characters that start empty. It grows geometrically so that collecting a
// whole conversation stays linear.
#pragma once

class CGrowingTextBuffer {
public:
    CGrowingTextBuffer();
    ~CGrowingTextBuffer();
    CGrowingTextBuffer(const CGrowingTextBuffer&) = delete;
    CGrowingTextBuffer& operator=(const CGrowingTextBuffer&) = delete;

    void Append(const wchar_t* text, int count);
    void Append(const wchar_t* text);

    // Always NUL-terminated.
    const wchar_t* GetText() const { return m_text ? m_text : L""; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }

private:
    bool Reserve(int length);

    wchar_t* m_text;
    int m_length;
    int m_capacity;
};
