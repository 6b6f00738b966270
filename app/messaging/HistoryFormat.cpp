#include "messaging/HistoryFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "TLV.h"

namespace HistoryFormat {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr unsigned short kRecordMarker = 1;
constexpr unsigned short kItemId = 1;
constexpr unsigned short kItemTime = 2;
constexpr unsigned short kItemFlags = 3;
constexpr unsigned short kItemText = 4;

unsigned int Get32(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 24) | (static_cast<unsigned int>(p[1]) << 16) |
           (static_cast<unsigned int>(p[2]) << 8) | p[3];
}

void Put32(unsigned char* p, unsigned int value)
{
    p[0] = static_cast<unsigned char>(value >> 24);
    p[1] = static_cast<unsigned char>(value >> 16);
    p[2] = static_cast<unsigned char>(value >> 8);
    p[3] = static_cast<unsigned char>(value);
}

// The end of the longest piece starting at from that fits limit bytes and
// splits no character.
size_t PieceEnd(const std::string& bytes, size_t from, size_t limit)
{
    if (bytes.size() - from <= limit)
        return bytes.size();
    size_t cut = from + limit;
    // Back to the lead byte of the character that would be split.
    while (cut > from && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

// Bytes of the UTF-8 character the byte leads; 1 for a byte that leads none.
size_t CharBytes(unsigned char lead)
{
    if (lead >= 0xC0 && lead < 0xE0)
        return 2;
    if (lead >= 0xE0 && lead < 0xF0)
        return 3;
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    return 1;
}

void AppendString(std::vector<unsigned char>& out, const std::string& bytes)
{
    out.push_back(static_cast<unsigned char>(bytes.size() >> 8));
    out.push_back(static_cast<unsigned char>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A header string: UTF-8 and its zero, within the 16-bit length.
std::string StoredName(const CJOVString& name)
{
    std::string bytes = ToUtf8(name, kMaxTextBytes - 1);
    bytes.push_back('\0');
    return bytes;
}

bool ReadString(CReader& reader, std::string* out)
{
    unsigned char length[2];
    if (!reader.Read(length, 2))
        return false;
    const size_t n = (static_cast<size_t>(length[0]) << 8) | length[1];
    out->assign(n, '\0');
    return n == 0 || reader.Read(&(*out)[0], n);
}

} // namespace

Header Header::New(const CJOVString& accountName, const CJOVString& alias)
{
    Header header;
    std::memcpy(header.fixed, "VDH", 3);
    header.fixed[3] = 1;
    header.fixed[43] = 1;
    header.accountName = StoredName(accountName);
    header.alias = StoredName(alias);
    return header;
}

unsigned int Header::RecordsSize() const { return Get32(fixed + 4); }
void Header::SetRecordsSize(unsigned int size) { Put32(fixed + 4, size); }
unsigned int Header::Count() const { return Get32(fixed + 34); }
void Header::SetCount(unsigned int count) { Put32(fixed + 34, count); }
unsigned int Header::LastId() const { return Get32(fixed + 38); }
void Header::SetLastId(unsigned int id) { Put32(fixed + 38, id); }

std::vector<unsigned char> Header::Encode() const
{
    std::vector<unsigned char> out(fixed, fixed + kHeaderSize);
    AppendString(out, accountName);
    AppendString(out, alias);
    return out;
}

std::string ToUtf8(const CJOVString& text, size_t limit)
{
    std::string bytes;
    if (text.GetLength() <= 0)
        return bytes;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.Data(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return bytes;
    bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.Data(), text.GetLength(), &bytes[0], n, nullptr, nullptr);
    bytes.resize(PieceEnd(bytes, 0, limit));
    return bytes;
}

bool RecordIsFull(size_t length, unsigned char next)
{
    return length + CharBytes(next) > kMaxTextBytes;
}

std::vector<std::string> RecordTexts(const CJOVString& text)
{
    // Room for the longest character, so that every piece holds one.
    static_assert(kMaxTextBytes >= 4, "a record must hold any character");
    const std::string bytes = ToUtf8(text, SIZE_MAX);
    std::vector<std::string> texts;
    size_t from = 0;
    do {
        // Whole characters until the next would not fit: the readers join
        // the pieces by the same test.
        size_t end = from;
        while (end < bytes.size() && !RecordIsFull(end - from, static_cast<unsigned char>(bytes[end])))
            end += CharBytes(static_cast<unsigned char>(bytes[end]));
        if (end > bytes.size())
            end = bytes.size();
        texts.push_back(bytes.substr(from, end - from));
        from = end;
    } while (from < bytes.size());
    return texts;
}

RecordMark MarkOf(const Record& record)
{
    RecordMark mark;
    mark.decoded = true;
    mark.id = record.id;
    mark.time = record.time;
    mark.direction = record.direction;
    mark.flag = record.flag;
    mark.kind = record.kind;
    mark.length = record.text.size();
    return mark;
}

bool Continues(const RecordMark& before, const Record& record)
{
    return before.decoded && !record.text.empty() && before.time == record.time &&
           before.direction == record.direction && before.flag == record.flag && before.kind == record.kind &&
           before.id + 1 == record.id && RecordIsFull(before.length, static_cast<unsigned char>(record.text[0]));
}

std::vector<unsigned char> EncodeRecord(const Record& record)
{
    CTLVCol items;
    items.push_back(CTLV(kItemId, static_cast<unsigned int>(record.id)));
    items.push_back(CTLV(kItemTime, static_cast<unsigned int>(record.time)));
    const unsigned char flags[3] = {record.direction, record.flag, record.kind};
    items.push_back(CTLV(kItemFlags, static_cast<unsigned short>(3), flags));
    const size_t textLength = record.text.size() < kMaxTextBytes ? record.text.size() : kMaxTextBytes;
    items.push_back(CTLV(kItemText, static_cast<unsigned short>(textLength), record.text.data()));

    const int blockLength = items.GetDataLength();
    std::vector<unsigned char> out(kRecordHeadSize);
    out[0] = 0;
    out[1] = kRecordMarker;
    Put32(&out[2], static_cast<unsigned int>(blockLength));
    unsigned char* block = items.GetBuffer(0);
    if (!block)
        return std::vector<unsigned char>();
    out.insert(out.end(), block, block + blockLength);
    std::free(block);
    return out;
}

bool DecodeRecordBlock(const unsigned char* block, size_t length, Record* record)
{
    CTLVCol items;
    items.Unpack(block, static_cast<int>(length));
    const CTLV* time = items.GetTLV(kItemTime);
    const CTLV* flags = items.GetTLV(kItemFlags);
    const CTLV* text = items.GetTLV(kItemText);
    if (!time || time->GetDataLength() != 4 || !flags || flags->GetDataLength() < 1 || !text)
        return false;
    const unsigned char direction = flags->GetData()[0];
    if (direction > 1)
        return false;
    const CTLV* id = items.GetTLV(kItemId);
    record->id = id && id->GetDataLength() == 4 ? Get32(id->GetData()) : 0;
    record->time = Get32(time->GetData());
    record->direction = direction;
    record->flag = flags->GetDataLength() > 1 ? flags->GetData()[1] : 0;
    record->kind = flags->GetDataLength() > 2 ? flags->GetData()[2] : 0;
    record->text.assign(reinterpret_cast<const char*>(text->GetData()), text->GetDataLength());
    return true;
}

CReader::CReader(HANDLE file, ULONGLONG size) : m_file(file), m_size(size) {}

bool CReader::Fill()
{
    if (m_buffer.empty())
        m_buffer.resize(kBufferSize);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(m_position);
    m_bufferStart = m_position;
    m_bufferLength = 0;
    if (!SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN))
        return false;
    const ULONGLONG left = m_size - m_position;
    const DWORD wanted = static_cast<DWORD>(left < kBufferSize ? left : kBufferSize);
    DWORD got = 0;
    if (!ReadFile(m_file, m_buffer.data(), wanted, &got, nullptr))
        return false;
    m_bufferLength = got;
    return got > 0;
}

bool CReader::Read(void* out, size_t n)
{
    if (n > Remaining())
        return false;
    const ULONGLONG start = m_position;
    auto* target = static_cast<unsigned char*>(out);
    while (n > 0) {
        if (m_position < m_bufferStart || m_position >= m_bufferStart + m_bufferLength) {
            if (!Fill()) {
                m_position = start;
                return false;
            }
        }
        const size_t offset = static_cast<size_t>(m_position - m_bufferStart);
        size_t chunk = m_bufferLength - offset;
        if (chunk > n)
            chunk = n;
        std::memcpy(target, m_buffer.data() + offset, chunk);
        target += chunk;
        n -= chunk;
        m_position += chunk;
    }
    return true;
}

bool CReader::Skip(ULONGLONG n)
{
    if (n > Remaining())
        return false;
    m_position += n;
    return true;
}

void CReader::Seek(ULONGLONG position)
{
    m_position = position < m_size ? position : m_size;
}

HeaderRead ReadHeader(CReader& reader, Header* header)
{
    reader.Seek(0);
    if (!reader.Read(header->fixed, kHeaderSize))
        return HeaderRead::Damaged;
    if (header->Version() != 1)
        return HeaderRead::OtherVersion;
    if (!ReadString(reader, &header->accountName) || !ReadString(reader, &header->alias))
        return HeaderRead::Damaged;
    return HeaderRead::Ok;
}

RecordStep ReadRecordHead(CReader& reader, unsigned int* blockLength)
{
    if (reader.Remaining() == 0)
        return RecordStep::End;
    unsigned char head[kRecordHeadSize];
    if (!reader.Read(head, kRecordHeadSize) || head[0] != 0 || head[1] != kRecordMarker)
        return RecordStep::Damaged;
    *blockLength = Get32(head + 2);
    if (*blockLength > reader.Remaining())
        return RecordStep::Damaged;
    return RecordStep::Ok;
}

} // namespace HistoryFormat
