#include "messaging/HistoryFiles.h"

#include <cwchar>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "JOVTime.h"
#include "ServiceIds.h"
#include "cl/ContactList.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/HistoryFormat.h"
#include "protocols/ProtocolsManager.h"

using namespace HistoryFormat;

namespace {

const wchar_t kSaveSetting[] = L"Hist Save";
const wchar_t kSaveNotInListSetting[] = L"Hist Save Not in list";
const int kDamagedNames = 100;

std::mutex& FilesLock()
{
    static std::mutex lock;
    return lock;
}

// The folder's own: a path is made without waiting for a file operation.
std::mutex& FolderLock()
{
    static std::mutex lock;
    return lock;
}

CJOVString& FolderOverride()
{
    static CJOVString folder;
    return folder;
}

// Size and time of the last write of each file as this process's last
// append left it: a file that still has both is as the append left it, and
// its records need no new walk. Guarded by the files lock.
struct FileStamp {
    ULONGLONG size = 0;
    ULONGLONG written = 0;
    bool operator==(const FileStamp& other) const { return size == other.size && written == other.written; }
};

// A file as the last append left it, with the mark of its last record, which
// the next append must not be read as continuing.
struct AppendedFile {
    FileStamp stamp;
    RecordMark last;
};

std::map<std::wstring, AppendedFile>& AppendedFiles()
{
    static std::map<std::wstring, AppendedFile> files;
    return files;
}

Database::CJOVDatabase* Store(Services::CServicesManager& bus)
{
    return static_cast<Database::CJOVDatabase*>(bus.GetService(GUID_Database));
}

CL::CContactList* Model(Services::CServicesManager& bus)
{
    return static_cast<CL::CContactList*>(bus.GetService(GUID_ContactList));
}

Protocols::CProtocolsManager* Manager(Services::CServicesManager& bus)
{
    return static_cast<Protocols::CProtocolsManager*>(bus.GetService(GUID_ProtocolsManager));
}

// 1 when the byte is missing.
bool SettingOn(Database::CJOVDatabase* store, const wchar_t* name)
{
    unsigned char value = 1;
    store->GetByte(GUID_History, CJOVString(name), &value);
    return value != 0;
}

// Names keep every character a file name can hold; the others (and so every
// way out of the folder) become %XX, and so does "%" itself, so that no two
// names meet in one file. Files stored before "%" was escaped go by the name
// without that (withPercent false).
CJOVString EscapeNamePart(const CJOVString& part, bool withPercent = true)
{
    std::wstring out;
    for (int i = 0; i < part.GetLength(); ++i) {
        const wchar_t c = part.Data()[i];
        if (c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
            c == L'>' || c == L'|' || (withPercent && c == L'%')) {
            wchar_t escaped[4];
            std::swprintf(escaped, 4, L"%%%02X", static_cast<unsigned int>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return CJOVString(out.c_str());
}

// A path the plain Win32 calls refuse (past MAX_PATH, less room for a
// folder's or a damaged file's longer name) goes to them absolute, after
// "\\?\"; shorter ones as they are.
CJOVString LongPathForm(const CJOVString& path)
{
    const int kPlainLimit = MAX_PATH - 12;
    if (path.GetLength() < kPlainLimit)
        return path;
    const std::wstring given(path.Data(), path.GetLength());
    if (given.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    if (full.compare(0, 2, L"\\\\") == 0)
        return CJOVString((L"\\\\?\\UNC\\" + full.substr(2)).c_str());
    return CJOVString((L"\\\\?\\" + full).c_str());
}

bool PathExists(const CJOVString& path)
{
    return GetFileAttributesW(std::wstring(path.Data(), path.GetLength()).c_str()) != INVALID_FILE_ATTRIBUTES;
}

CJOVString HistoryFolder()
{
    CJOVString folder;
    {
        std::lock_guard<std::mutex> guard(FolderLock());
        folder = FolderOverride();
    }
    if (folder.GetLength() == 0) {
        CJOVString program = GetAppDir();
        if (program.GetLength() == 0)
            return CJOVString();
        folder = program + CJOVString(L"History\\");
    }
    const CJOVString made = LongPathForm(folder);
    CreateDirectoryW(std::wstring(made.Data(), made.GetLength()).c_str(), nullptr);
    return folder;
}

ULONGLONG FileSize(HANDLE file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? static_cast<ULONGLONG>(size.QuadPart) : 0;
}

FileStamp StampOf(HANDLE file)
{
    FileStamp stamp;
    stamp.size = FileSize(file);
    FILETIME written = {};
    if (GetFileTime(file, nullptr, nullptr, &written))
        stamp.written = (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return stamp;
}

bool WriteAt(HANDLE file, ULONGLONG offset, const std::vector<unsigned char>& bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD written = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void CutAt(HANDLE file, ULONGLONG length)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(length);
    if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        SetEndOfFile(file);
}

// The damaged file goes aside as "<name>.bad", "<name>.bad2", ...
bool MoveAside(const CJOVString& path)
{
    for (int i = 1; i <= kDamagedNames; ++i) {
        std::wstring aside = std::wstring(path.Data(), path.GetLength()) + L".bad";
        if (i > 1)
            aside += std::to_wstring(i);
        if (MoveFileW(std::wstring(path.Data(), path.GetLength()).c_str(), aside.c_str()))
            return true;
    }
    return false;
}

// Records after a failed write of an older program, a cut file or a damaged
// record: the file is cut back after its last whole record (before the
// damage) and the header counts those. last: where that record starts, 0
// for none.
void Repair(HANDLE file, ULONGLONG size, Header* header, ULONGLONG* last)
{
    CReader reader(file, size);
    reader.Seek(header->EncodedSize());
    unsigned int count = 0;
    ULONGLONG end = reader.Position();
    unsigned int blockLength = 0;
    *last = 0;
    for (;;) {
        const ULONGLONG start = reader.Position();
        if (ReadRecordHead(reader, &blockLength) != RecordStep::Ok)
            break;
        reader.Skip(blockLength);
        end = reader.Position();
        *last = start;
        ++count;
    }
    CutAt(file, end);
    header->SetCount(count);
    header->SetRecordsSize(static_cast<unsigned int>(end - header->EncodedSize()));
}

// Whether the header counts exactly the records a reader walks to the very
// end of the file, so that a record appended there is read back as the last
// (and one more in the count is one more record, not a count run over).
bool RecordsReachTheEnd(HANDLE file, ULONGLONG size, const Header& header, ULONGLONG* last)
{
    CReader reader(file, size);
    reader.Seek(header.EncodedSize());
    unsigned int blockLength = 0;
    *last = 0;
    for (unsigned int i = 0; i < header.Count(); ++i) {
        *last = reader.Position();
        if (ReadRecordHead(reader, &blockLength) != RecordStep::Ok)
            return false;
        reader.Skip(blockLength);
    }
    return reader.Position() == size;
}

// The record at start (a whole one), read to be marked; an undecodable one
// or none (start 0) continues nothing.
RecordMark MarkAt(HANDLE file, ULONGLONG size, ULONGLONG start)
{
    RecordMark mark;
    if (start == 0)
        return mark;
    CReader reader(file, size);
    reader.Seek(start);
    unsigned int blockLength = 0;
    if (ReadRecordHead(reader, &blockLength) != RecordStep::Ok)
        return mark;
    std::vector<unsigned char> block(blockLength);
    Record record;
    if (reader.Read(block.data(), blockLength) && DecodeRecordBlock(block.data(), blockLength, &record))
        mark = MarkOf(record);
    return mark;
}

// The records of one message: the draft with each of the texts.
int AppendLocked(const HistoryTarget& target, const Record& draft, const std::vector<std::string>& texts)
{
    std::wstring path(target.path.Data(), target.path.GetLength());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kHistoryCannotOpen;
    ULONGLONG size = FileSize(file);
    Header header;
    RecordMark last;
    if (size > 0) {
        CReader reader(file, size);
        const HeaderRead read = ReadHeader(reader, &header);
        if (read == HeaderRead::OtherVersion) {
            CloseHandle(file);
            return kHistoryOtherVersion;
        }
        if (read == HeaderRead::Damaged) {
            CloseHandle(file);
            if (!MoveAside(target.path))
                return kHistoryBadHeader;
            file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return kHistoryCannotOpen;
            size = 0;
        } else if (header.EncodedSize() + header.RecordsSize() != size) {
            ULONGLONG lastStart = 0;
            Repair(file, size, &header, &lastStart);
            size = FileSize(file);
            last = MarkAt(file, size, lastStart);
        } else {
            // Sizes that agree may still hide a damaged record or a count
            // other than the records', after which a new record would go unread.
            auto appended = AppendedFiles().find(path);
            if (appended != AppendedFiles().end() && appended->second.stamp == StampOf(file)) {
                last = appended->second.last;
            } else {
                ULONGLONG lastStart = 0;
                if (!RecordsReachTheEnd(file, size, header, &lastStart)) {
                    Repair(file, size, &header, &lastStart);
                    size = FileSize(file);
                }
                last = MarkAt(file, size, lastStart);
            }
        }
    }
    const std::vector<unsigned char> oldHeader = header.Encode();
    if (size == 0)
        header = Header::New(target.accountName, target.alias);
    // One write of all the records and one of the header: a message is in
    // the file whole or not at all.
    std::vector<unsigned char> bytes;
    Record record = draft;
    record.id = header.LastId() + 1;
    record.text = texts[0];
    // After a full record of the same second and the like, only a gap in the
    // ids tells the readers that this is a message of its own.
    if (Continues(last, record))
        ++record.id;
    const unsigned int firstId = record.id;
    for (size_t i = 0; i < texts.size(); ++i) {
        record.id = firstId + static_cast<unsigned int>(i);
        record.text = texts[i];
        const std::vector<unsigned char> encoded = EncodeRecord(record);
        if (encoded.empty()) {
            bytes.clear();
            break;
        }
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    header.SetCount(header.Count() + static_cast<unsigned int>(texts.size()));
    header.SetLastId(record.id);
    header.SetRecordsSize(header.RecordsSize() + static_cast<unsigned int>(bytes.size()));

    int result = kHistoryOk;
    if (bytes.empty()) {
        result = kHistoryIoFailed;
    } else if (size == 0) {
        std::vector<unsigned char> whole = header.Encode();
        whole.insert(whole.end(), bytes.begin(), bytes.end());
        if (!WriteAt(file, 0, whole)) {
            CutAt(file, 0);
            result = kHistoryIoFailed;
        }
    } else if (!WriteAt(file, size, bytes)) {
        // The record first: a header never counts a record the file lacks.
        CutAt(file, size);
        result = kHistoryIoFailed;
    } else if (!WriteAt(file, 0, header.Encode())) {
        WriteAt(file, 0, oldHeader);
        CutAt(file, size);
        result = kHistoryIoFailed;
    }
    if (result == kHistoryOk)
        AppendedFiles()[path] = AppendedFile{StampOf(file), MarkOf(record)};
    else
        AppendedFiles().erase(path);
    CloseHandle(file);
    return result;
}

SMessage ToMessage(const Record& record, const CJOVString& alias)
{
    SMessage message;
    if (record.direction == 0) {
        message.kind = SMessage::Incoming;
        message.subKind = 22;
        message.nick = alias;
    } else {
        message.kind = SMessage::Outgoing;
        message.subKind = 23;
        message.nick = CJOVString(L"I");
    }
    message.time = CJOVString(L"(") + CTime(record.time).GetShortDateString() + CJOVString(L")");
    message.text = CJOVString(reinterpret_cast<const unsigned char*>(record.text.data()),
                              static_cast<int>(record.text.size()), CP_UTF8);
    return message;
}

HANDLE OpenToRead(const CJOVString& path)
{
    return CreateFileW(std::wstring(path.Data(), path.GetLength()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Joins records, in file order, into the messages they hold: a record that
// continues the one before adds its text to that one's message.
class CMessageJoiner {
public:
    CMessageJoiner(const CJOVString& alias, CJOVArray<SMessage>& messages) : m_alias(alias), m_messages(messages) {}

    // No record: one that cannot be decoded, which ends the message before it.
    void Add(Record* record)
    {
        const RecordMark mark = record ? MarkOf(*record) : RecordMark();
        if (record && m_open && Continues(m_last, *record)) {
            m_message.text += record->text;
        } else {
            Finish();
            if (record) {
                m_message = std::move(*record);
                m_open = true;
            }
        }
        m_last = mark;
    }

    void Finish()
    {
        if (m_open)
            m_messages.Append(ToMessage(m_message, m_alias));
        m_open = false;
    }

private:
    const CJOVString& m_alias;
    CJOVArray<SMessage>& m_messages;
    Record m_message;
    RecordMark m_last;
    bool m_open = false;
};

// The record at start, whose head was read before. False when its block
// cannot be read; decoded false when it holds no record.
bool ReadRecordAt(CReader& reader, ULONGLONG start, std::vector<unsigned char>& block, Record* record, bool* decoded)
{
    reader.Seek(start);
    unsigned int blockLength = 0;
    ReadRecordHead(reader, &blockLength);
    block.resize(blockLength);
    if (!reader.Read(block.data(), blockLength))
        return false;
    *decoded = DecodeRecordBlock(block.data(), blockLength, record);
    return true;
}

// The records the header counts that the file really holds, as messages:
// all of them (n < 0) or the last n.
int ReadLocked(const CJOVString& path, const CJOVString& alias, int n, CJOVArray<SMessage>& messages)
{
    HANDLE file = OpenToRead(path);
    if (file == INVALID_HANDLE_VALUE)
        return kHistoryCannotOpen;
    CReader reader(file, FileSize(file));
    Header header;
    const HeaderRead read = ReadHeader(reader, &header);
    if (read != HeaderRead::Ok) {
        CloseHandle(file);
        return read == HeaderRead::OtherVersion ? kHistoryOtherVersion : kHistoryBadHeader;
    }
    int result = kHistoryOk;
    std::vector<ULONGLONG> starts;
    unsigned int blockLength = 0;
    for (unsigned int i = 0; i < header.Count(); ++i) {
        const ULONGLONG start = reader.Position();
        const RecordStep step = ReadRecordHead(reader, &blockLength);
        if (step != RecordStep::Ok) {
            if (step == RecordStep::Damaged)
                result = kHistoryIoFailed;
            break;
        }
        starts.push_back(start);
        reader.Skip(blockLength);
    }
    CMessageJoiner joiner(alias, messages);
    std::vector<unsigned char> block;
    if (n < 0) {
        // One allocation, not one every few records.
        messages.Reserve(messages.Count() + static_cast<int>(starts.size()));
        for (const ULONGLONG start : starts) {
            Record record;
            bool decoded = false;
            if (!ReadRecordAt(reader, start, block, &record, &decoded)) {
                result = kHistoryIoFailed;
                break;
            }
            joiner.Add(decoded ? &record : nullptr);
        }
    } else {
        // Back from the end to where the nth last message starts. Whether a
        // record starts one is told by the record before it, so one more
        // record is read than the messages hold.
        std::vector<Record> tail;  // the last first
        std::vector<bool> decodedTail;
        int found = 0;
        for (size_t i = starts.size(); n > 0 && i > 0; --i) {
            Record record;
            bool decoded = false;
            if (!ReadRecordAt(reader, starts[i - 1], block, &record, &decoded)) {
                result = kHistoryIoFailed;
                break;
            }
            if (!tail.empty() && decodedTail.back() && !(decoded && Continues(MarkOf(record), tail.back())) &&
                ++found == n)
                break;
            tail.push_back(std::move(record));
            decodedTail.push_back(decoded);
        }
        messages.Reserve(messages.Count() + static_cast<int>(tail.size()));
        for (size_t i = tail.size(); i-- > 0;)
            joiner.Add(decodedTail[i] ? &tail[i] : nullptr);
    }
    joiner.Finish();
    CloseHandle(file);
    return result;
}

// A file under the name of before "%" was escaped is the contact's when its
// header names the contact: that name may be another contact's of today.
// Under the files' lock.
bool IsEarlierFileOf(const CJOVString& path, const CJOVString& contact)
{
    HANDLE file = OpenToRead(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CReader reader(file, FileSize(file));
    Header header;
    const bool read = ReadHeader(reader, &header) == HeaderRead::Ok;
    CloseHandle(file);
    return read && header.accountName == Header::New(contact, CJOVString()).accountName;
}

CJOVString CurrentAlias(Services::CServicesManager& bus, unsigned int contactId)
{
    CJOVString alias;
    if (CL::CContactList* model = Model(bus))
        model->GetString(contactId, CJOVString(L"CL Alias"), alias);
    return alias;
}

} // namespace

bool GetHistorySaving(Services::CServicesManager& bus, int kind)
{
    Database::CJOVDatabase* store = Store(bus);
    if (!store || (kind != 0 && kind != 1))
        return true;
    if (!SettingOn(store, kSaveSetting))
        return false;
    return kind == 0 || SettingOn(store, kSaveNotInListSetting);
}

void SetHistorySaving(Services::CServicesManager& bus, int kind, bool value)
{
    Database::CJOVDatabase* store = Store(bus);
    if (!store || (kind != 0 && kind != 1))
        return;
    const unsigned char byte = value ? 1 : 0;
    store->SetByte(GUID_History, CJOVString(kind == 0 ? kSaveSetting : kSaveNotInListSetting), &byte);
}

CJOVString GetHistoryFilePath(Services::CServicesManager& bus, unsigned int contactId)
{
    CL::CContactList* model = Model(bus);
    Protocols::CProtocolsManager* manager = Manager(bus);
    if (!model || !manager)
        return CJOVString();
    const unsigned int accountId = model->GetItemKey(contactId);
    const CJOVString protocol = manager->GetAccountProtocol(accountId).name;
    const CJOVString account = manager->GetAccountName(accountId, false);
    CJOVString contact;
    model->GetString(contactId, CJOVString(L"Account name"), contact);
    // A missing part would name another contact's file, or none.
    if (protocol.GetLength() == 0 || account.GetLength() == 0 || contact.GetLength() == 0)
        return CJOVString();
    const CJOVString folder = HistoryFolder();
    if (folder.GetLength() == 0)
        return CJOVString();
    const CJOVString separator(L"_");
    const CJOVString extension(L".vdh");
    const CJOVString path = LongPathForm(folder + EscapeNamePart(protocol) + separator + EscapeNamePart(account) +
                                         separator + EscapeNamePart(contact) + extension);
    const CJOVString earlier = LongPathForm(folder + EscapeNamePart(protocol, false) + separator +
                                            EscapeNamePart(account, false) + separator +
                                            EscapeNamePart(contact, false) + extension);
    if (earlier == path)
        return path;
    // A file under today's name wins; the earlier one serves while there is none.
    std::lock_guard<std::mutex> guard(FilesLock());
    if (!PathExists(path) && IsEarlierFileOf(earlier, contact))
        return earlier;
    return path;
}

HistoryTarget GetHistoryTarget(Services::CServicesManager& bus, unsigned int contactId)
{
    HistoryTarget target;
    CL::CContactList* model = Model(bus);
    const bool inList = model && model->GetContactGroup(contactId) != 0;
    target.save = GetHistorySaving(bus, inList ? 0 : 1);
    if (!target.save)
        return target;
    target.path = GetHistoryFilePath(bus, contactId);
    if (model) {
        model->GetString(contactId, CJOVString(L"Account name"), target.accountName);
        model->GetString(contactId, CJOVString(L"CL Alias"), target.alias);
    }
    return target;
}

int AppendHistoryRecord(const HistoryTarget& target, unsigned char kind, unsigned char direction, unsigned char flag,
                        unsigned long time, const CJOVString& text)
{
    if (!target.save)
        return kHistoryOk;
    if (target.path.GetLength() == 0)
        return kHistoryCannotOpen;
    Record record;
    record.time = time;
    record.direction = direction;
    record.flag = flag;
    record.kind = kind;
    const std::vector<std::string> texts = RecordTexts(text);
    std::lock_guard<std::mutex> guard(FilesLock());
    return AppendLocked(target, record, texts);
}

int AppendHistoryMessage(Services::CServicesManager& bus, unsigned int contactId, unsigned char kind,
                         unsigned char direction, unsigned char flag, unsigned long time, const CJOVString& text)
{
    return AppendHistoryRecord(GetHistoryTarget(bus, contactId), kind, direction, flag, time, text);
}

namespace {

int ReadRecords(Services::CServicesManager& bus, unsigned int contactId, int n, CJOVArray<SMessage>& messages)
{
    const CJOVString path = GetHistoryFilePath(bus, contactId);
    const CJOVString alias = CurrentAlias(bus, contactId);
    if (path.GetLength() == 0)
        return kHistoryCannotOpen;
    std::lock_guard<std::mutex> guard(FilesLock());
    return ReadLocked(path, alias, n, messages);
}

} // namespace

int ReadHistory(Services::CServicesManager& bus, unsigned int contactId, CJOVArray<SMessage>& messages)
{
    return ReadRecords(bus, contactId, -1, messages);
}

int ReadHistoryTail(Services::CServicesManager& bus, unsigned int contactId, int n, CJOVArray<SMessage>& messages)
{
    return ReadRecords(bus, contactId, n > 0 ? n : 0, messages);
}

bool DeleteHistory(Services::CServicesManager& bus, unsigned int contactId)
{
    const CJOVString path = GetHistoryFilePath(bus, contactId);
    if (path.GetLength() == 0)
        return false;
    std::lock_guard<std::mutex> guard(FilesLock());
    const std::wstring name(path.Data(), path.GetLength());
    AppendedFiles().erase(name);
    return DeleteFileW(name.c_str()) != 0;
}

void SetHistoryFolder(const CJOVString& folder)
{
    std::lock_guard<std::mutex> guard(FolderLock());
    FolderOverride() = folder;
}
