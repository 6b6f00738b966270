#include "TextTable.h"

#include <climits>
#include <string>
#include <cwctype>

#include "PluginModule.h"

namespace {

const wchar_t* const kFileNames[kTextTableCount] = {
    L"countries.txt", L"occupations.txt", L"languages.txt", L"interests.txt",
    L"groups.txt",    L"pastbg.txt",      L"Gender.txt",    L"MaritalStatus.txt",
};

TextTable g_tables[kTextTableCount];

// A line with its CR LF holds at most this many characters; longer lines are cut.
const int kMaxLine = 255;
const int kReadBytes = 2 * kMaxLine;

// The code as _wtol reads it: blanks, an optional sign, digits to the first
// other character; no digits give 0.
int ParseCode(const std::wstring& part)
{
    size_t i = 0;
    while (i < part.size() && std::iswspace(static_cast<wint_t>(part[i])))
        ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == L'+' || part[i] == L'-'))
        negative = part[i++] == L'-';
    long long value = 0;
    for (; i < part.size() && part[i] >= L'0' && part[i] <= L'9'; ++i) {
        value = value * 10 + (part[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

// Splits a line at its first ";" (every ";" is dropped) and stores it.
void StoreLine(const std::wstring& line, TextTable& table)
{
    size_t semicolon = line.find(L';');
    std::wstring code = line.substr(0, semicolon);
    std::wstring text;
    if (semicolon != std::wstring::npos) {
        for (size_t i = semicolon + 1; i < line.size(); ++i) {
            if (line[i] != L';')
                text.push_back(line[i]);
        }
    }
    table[ParseCode(code)] = CJOVString(text.c_str());
}

// Collects characters into lines ended by CR LF; a CR without LF and a lone
// LF are ordinary characters.
class CLineSplitter {
public:
    explicit CLineSplitter(TextTable& table) : m_table(table), m_pendingCR(false), m_started(false) {}

    void Add(wchar_t unit)
    {
        m_started = true;
        if (m_pendingCR) {
            m_pendingCR = false;
            if (unit == L'\n') {
                StoreLine(m_line, m_table);
                m_line.clear();
                m_started = false;
                return;
            }
            Append(L'\r');
        }
        if (unit == L'\r')
            m_pendingCR = true;
        else
            Append(unit);
    }

    // A last line without CR LF is stored like the others.
    void Finish()
    {
        if (m_pendingCR)
            Append(L'\r');
        if (m_started)
            StoreLine(m_line, m_table);
    }

private:
    void Append(wchar_t unit)
    {
        if (static_cast<int>(m_line.size()) < kMaxLine - 2)
            m_line.push_back(unit);
    }

    TextTable& m_table;
    std::wstring m_line;
    bool m_pendingCR;
    bool m_started;
};

} // namespace

const wchar_t* GetTextTableFileName(TextTableKind kind)
{
    return kind >= 0 && kind < kTextTableCount ? kFileNames[kind] : L"";
}

bool LoadTextTableFile(const CJOVString& path, TextTable& table)
{
    CJOVString name(path);
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CLineSplitter lines(table);
    unsigned char bytes[kReadBytes + 1];
    int held = 0;  // an odd byte left from the previous read
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, bytes + held, kReadBytes, &read, nullptr) || read == 0)
            break;
        int n = held + static_cast<int>(read);
        for (int i = 0; i + 1 < n; i += 2)
            lines.Add(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
        held = n % 2;
        if (held)
            bytes[0] = bytes[n - 1];
    }
    lines.Finish();
    CloseHandle(file);
    return true;
}

void LoadTextTable(const wchar_t* fileName, TextTable& table)
{
    CJOVString folder = GetModuleFolder();
    if (folder.GetLength() == 0)
        return;
    LoadTextTableFile(folder + CJOVString(fileName), table);
}

void LoadTextTables()
{
    for (int kind = 0; kind < kTextTableCount; ++kind)
        LoadTextTable(kFileNames[kind], g_tables[kind]);
}

const TextTable& GetTextTable(TextTableKind kind)
{
    static const TextTable empty;
    return kind >= 0 && kind < kTextTableCount ? g_tables[kind] : empty;
}

CJOVString FindText(const TextTable& table, int code)
{
    auto found = table.find(code);
    return found == table.end() ? CJOVString() : found->second;
}

void FillReferenceCombo(HWND dialog, int controlId, const TextTable& table)
{
    SendDlgItemMessageW(dialog, controlId, CB_RESETCONTENT, 0, 0);
    if (SendDlgItemMessageW(dialog, controlId, CB_GETCOUNT, 0, 0) > 0)
        return;
    LRESULT index = SendDlgItemMessageW(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
    SendDlgItemMessageW(dialog, controlId, CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    for (const auto& entry : table) {
        CJOVString text(entry.second);
        index = SendDlgItemMessageW(dialog, controlId, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(static_cast<wchar_t*>(text)));
        if (index >= 0)
            SendDlgItemMessageW(dialog, controlId, CB_SETITEMDATA, static_cast<WPARAM>(index),
                                static_cast<LPARAM>(entry.first));
    }
}
