// The bytes of a message history file, all integers big-endian: a 44-byte
// header ("VDH", version 1, the records' total size, reserved fields, the
// record count, the last record id, a 16-bit field), two strings (16-bit
// length counting a stored terminating zero, then UTF-8), then the records:
// marker 00 01, a 32-bit block length and a TLV block of the id (1), the
// Unix time (2), the flags {direction, flag, kind} (3) and the text (4).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVString.h"

namespace HistoryFormat {

constexpr unsigned int kHeaderSize = 44;
constexpr unsigned int kRecordHeadSize = 6;
// The widest text a 16-bit TLV length holds.
constexpr size_t kMaxTextBytes = 65535;

struct Header {
    unsigned char fixed[kHeaderSize] = {};
    std::string accountName;  // stored bytes, the terminating zero included
    std::string alias;

    // A header for a new file: version 1, the field at 42 = 1, the two names.
    static Header New(const CJOVString& accountName, const CJOVString& alias);
    unsigned char Version() const { return fixed[3]; }
    unsigned int RecordsSize() const;
    void SetRecordsSize(unsigned int size);
    unsigned int Count() const;
    void SetCount(unsigned int count);
    unsigned int LastId() const;
    void SetLastId(unsigned int id);
    // Header and strings as stored.
    std::vector<unsigned char> Encode() const;
    size_t EncodedSize() const { return kHeaderSize + 4 + accountName.size() + alias.size(); }
};

// One record's content, as written or as read back.
struct Record {
    unsigned int id = 0;
    unsigned long time = 0;
    unsigned char direction = 0;  // 0 received, 1 sent
    unsigned char flag = 0;
    unsigned char kind = 1;
    std::string text;  // UTF-8
};

// Marker, length and block of one record.
std::vector<unsigned char> EncodeRecord(const Record& record);
// False when the block lacks the time, the flags or the text, or its
// direction is neither 0 nor 1.
bool DecodeRecordBlock(const unsigned char* block, size_t length, Record* record);

// UTF-8 of the text, cut at a character so that it fits limit bytes.
std::string ToUtf8(const CJOVString& text, size_t limit);
// Whether a record's text of length bytes is full: the character that the
// byte next leads would not have fitted after it. A long text is cut exactly
// there, and nowhere else.
bool RecordIsFull(size_t length, unsigned char next);
// The texts of the records that hold the whole text, in order: its UTF-8 cut
// between characters, each piece but the last full; one empty text for an
// empty one.
std::vector<std::string> RecordTexts(const CJOVString& text);

// What of a record decides whether the next one continues its message.
struct RecordMark {
    bool decoded = false;  // an undecodable record ends any message
    unsigned int id = 0;
    unsigned long time = 0;
    unsigned char direction = 0;
    unsigned char flag = 0;
    unsigned char kind = 0;
    size_t length = 0;
};
RecordMark MarkOf(const Record& record);
// Whether the record is the next piece of before's message: before is full,
// of the same time, direction, flag and kind, and the ids follow. An append
// that would meet all but the last leaves a gap in the ids, so that a message
// of exactly a record's size and the next one of the same second stay two.
bool Continues(const RecordMark& before, const Record& record);

// Reads a file through a buffer, never past its end.
class CReader {
public:
    CReader(HANDLE file, ULONGLONG size);

    // All n bytes, or false (and nothing consumed) when fewer are left.
    bool Read(void* out, size_t n);
    bool Skip(ULONGLONG n);
    void Seek(ULONGLONG position);
    ULONGLONG Position() const { return m_position; }
    ULONGLONG Remaining() const { return m_size - m_position; }

private:
    bool Fill();

    HANDLE m_file;
    ULONGLONG m_size;
    ULONGLONG m_position = 0;
    std::vector<unsigned char> m_buffer;
    ULONGLONG m_bufferStart = 0;
    size_t m_bufferLength = 0;
};

enum class HeaderRead { Ok, Damaged, OtherVersion };
// From the start of the file; every length is bounded by the file.
HeaderRead ReadHeader(CReader& reader, Header* header);

enum class RecordStep { Ok, End, Damaged };
// The next record's head: Ok with its block length, End exactly at the end
// of the file, Damaged for a cut head, a wrong marker or a block past the end.
RecordStep ReadRecordHead(CReader& reader, unsigned int* blockLength);

} // namespace HistoryFormat
