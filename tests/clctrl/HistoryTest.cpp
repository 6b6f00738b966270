// The history files byte for byte: appends, whole and tail reads, the
// settings, file names, damaged files and appends racing reads.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ServiceIds.h"
#include "clctrl/FakeServices.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/HistoryFiles.h"
#include "messaging/HistoryFormat.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned int kAccount = 1;
constexpr unsigned long kTime = 0x65000000;

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetHistoryFolder(CJOVString(m_folder.File(L"").c_str()));
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus.RegisterService(GUID_Database, m_store.get());
        m_protocolsId = m_bus.RegisterService(GUID_ProtocolsManager, &m_protocols);
        CFakeProtocols::Account account;
        account.name = L"123456";
        m_protocols.Set(kAccount, account);
        m_model = std::make_unique<CL::CContactListImpl>(m_bus);
        m_bus.FireLoaded();
        m_loose = NewContact(L"uin42", L"Pal", 0);
        m_group = m_model->CreateGroup(kAccount);
        m_member = NewContact(L"member", L"Member", m_group);
    }

    void TearDown() override
    {
        m_model.reset();
        m_bus.UnregisterService(m_protocolsId);
        m_bus.UnregisterService(m_storeId);
        SetHistoryFolder(CJOVString());
    }

    unsigned int NewContact(const wchar_t* accountName, const wchar_t* alias, unsigned int group)
    {
        const unsigned int contact = m_model->CreateContact(kAccount, group);
        if (*accountName)
            m_model->SetString(contact, CJOVString(L"Account name"), CJOVString(accountName));
        m_model->SetString(contact, CJOVString(L"CL Alias"), CJOVString(alias));
        return contact;
    }

    int Append(unsigned int contact, const wchar_t* text, unsigned char direction = 0, unsigned long time = kTime)
    {
        return AppendHistoryMessage(m_bus, contact, 1, direction, 0, time, CJOVString(text));
    }

    std::vector<std::wstring> Texts(unsigned int contact, int* result = nullptr, int tail = -1)
    {
        CJOVArray<SMessage> messages;
        const int answer = tail < 0 ? ReadHistory(m_bus, contact, messages)
                                    : ReadHistoryTail(m_bus, contact, tail, messages);
        if (result)
            *result = answer;
        std::vector<std::wstring> texts;
        for (int i = 0; i < messages.Count(); ++i)
            texts.push_back(Text(messages[i].text));
        return texts;
    }

    std::wstring File(const wchar_t* name = L"ICQ_123456_uin42.vdh") { return m_folder.File(name); }
    Bytes Read() { return CTempFolder::Read(File()); }
    void Write(const Bytes& bytes) { CTempFolder::Write(File(), bytes); }
    // Writes the file anew as another process would, dated apart from the
    // last write even where file times are coarse (FAT keeps two seconds).
    void Rewrite(const Bytes& bytes)
    {
        HANDLE file = CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME written = {};
        GetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        Write(bytes);
        ULARGE_INTEGER apart = {{written.dwLowDateTime, written.dwHighDateTime}};
        apart.QuadPart += 10ull * 10000000;  // ten seconds
        written = {apart.LowPart, apart.HighPart};
        file = CreateFileW(File().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }
    void SetByte(const wchar_t* name, unsigned char value)
    {
        m_store->SetByte(GUID_History, CJOVString(name), &value);
    }

    CTempFolder m_folder;
    Services::CServicesManagerImpl m_bus{300};
    std::unique_ptr<Database::CJOVDatabase> m_store;
    CFakeProtocols m_protocols;
    std::unique_ptr<CL::CContactListImpl> m_model;
    unsigned int m_storeId = 0;
    unsigned int m_protocolsId = 0;
    unsigned int m_loose = 0;
    unsigned int m_group = 0;
    unsigned int m_member = 0;
};

Bytes Header(unsigned char recordsSize, unsigned char count)
{
    Bytes bytes(34, 0);
    bytes[0] = 'V';
    bytes[1] = 'D';
    bytes[2] = 'H';
    bytes[3] = 1;
    bytes[7] = recordsSize;
    const Bytes tail = {0, 0, 0, count, 0, 0, 0, count, 0, 1, 0, 6, 'u', 'i', 'n', '4', '2', 0, 0, 4, 'P', 'a', 'l', 0};
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

// Long texts by their start and length, for a readable failure.
std::vector<std::wstring> Shortened(const std::vector<std::wstring>& texts)
{
    std::vector<std::wstring> shortened;
    for (const std::wstring& text : texts)
        shortened.push_back(text.size() > 20 ? text.substr(0, 4) + L"... " + std::to_wstring(text.size()) : text);
    return shortened;
}

TEST_F(HistoryTest, TheFirstAndSecondAppendWriteTheseBytes)
{
    ASSERT_EQ(Append(m_loose, L"Hi"), kHistoryOk);
    Bytes expected = Header(35, 1);
    const Bytes first = {0, 1, 0, 0, 0, 29, 0, 1, 0, 4, 0, 0, 0, 1, 0, 2, 0, 4, 0x65, 0, 0, 0,
                         0, 3, 0, 3, 0, 0, 1, 0, 4, 0, 2, 'H', 'i'};
    expected.insert(expected.end(), first.begin(), first.end());
    EXPECT_EQ(Read(), expected);

    ASSERT_EQ(Append(m_loose, L"Yo!", 1, kTime + 1), kHistoryOk);
    expected = Header(35 + 36, 2);
    const Bytes second = {0, 1, 0, 0, 0, 30, 0, 1, 0, 4, 0, 0, 0, 2, 0, 2, 0, 4, 0x65, 0, 0, 1,
                          0, 3, 0, 3, 1, 0, 1, 0, 4, 0, 3, 'Y', 'o', '!'};
    expected.insert(expected.end(), first.begin(), first.end());
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Read(), expected);

    CJOVArray<SMessage> messages;
    ASSERT_EQ(ReadHistory(m_bus, m_loose, messages), kHistoryOk);
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages[0].kind, 0u);
    EXPECT_EQ(messages[0].subKind, 22);
    EXPECT_EQ(Text(messages[0].nick), L"Pal");
    EXPECT_EQ(Text(messages[0].time), L"(" + Text(CTime(kTime).GetShortDateString()) + L")");
    EXPECT_EQ(messages[1].kind, 1u);
    EXPECT_EQ(messages[1].subKind, 23);
    EXPECT_EQ(Text(messages[1].nick), L"I");
    // The readers take the alias of now, not the header's.
    m_model->SetString(m_loose, CJOVString(L"CL Alias"), CJOVString(L"Buddy"));
    messages.RemoveAll();
    ReadHistory(m_bus, m_loose, messages);
    EXPECT_EQ(Text(messages[0].nick), L"Buddy");
}

TEST_F(HistoryTest, TailReadsTakeTheLastRecordsInFileOrder)
{
    for (int i = 1; i <= 10; ++i)
        Append(m_loose, std::to_wstring(i).c_str());
    EXPECT_EQ(Texts(m_loose, nullptr, 3), (std::vector<std::wstring>{L"8", L"9", L"10"}));
    EXPECT_EQ(Texts(m_loose, nullptr, 20).size(), 10u);
    EXPECT_TRUE(Texts(m_loose, nullptr, 0).empty());
    int result = -1;
    EXPECT_TRUE(Texts(m_member, &result, 3).empty());
    EXPECT_EQ(result, kHistoryCannotOpen);
}

TEST_F(HistoryTest, TheSettingsDecideWhatIsSaved)
{
    EXPECT_TRUE(GetHistorySaving(m_bus, 0));
    EXPECT_TRUE(GetHistorySaving(m_bus, 1));
    SetHistorySaving(m_bus, 1, false);
    EXPECT_FALSE(GetHistorySaving(m_bus, 1));
    EXPECT_TRUE(GetHistorySaving(m_bus, 0));
    EXPECT_EQ(Append(m_loose, L"not kept"), kHistoryOk);
    EXPECT_FALSE(CTempFolder::Exists(File()));
    EXPECT_EQ(Append(m_member, L"kept"), kHistoryOk);
    EXPECT_EQ(Texts(m_member), (std::vector<std::wstring>{L"kept"}));

    SetHistorySaving(m_bus, 0, false);
    SetHistorySaving(m_bus, 1, true);
    EXPECT_FALSE(GetHistorySaving(m_bus, 1)) << "\"Hist Save\" comes first";
    EXPECT_EQ(Append(m_member, L"not either"), kHistoryOk);
    EXPECT_EQ(Texts(m_member).size(), 1u);
    EXPECT_TRUE(GetHistorySaving(m_bus, 7));
}

TEST_F(HistoryTest, NamesKeepPlainPartsAndEscapeWhatCannotStandInAFileName)
{
    const unsigned int jabber = NewContact(L"friend@example.org", L"F", 0);
    const unsigned int odd = NewContact(L"..\\..\\a/b:c*?", L"O", 0);
    const unsigned int nameless = NewContact(L"", L"N", 0);
    EXPECT_EQ(Append(jabber, L"x"), kHistoryOk);
    EXPECT_TRUE(CTempFolder::Exists(File(L"ICQ_123456_friend@example.org.vdh")));
    EXPECT_EQ(Append(odd, L"y"), kHistoryOk);
    EXPECT_TRUE(CTempFolder::Exists(File(L"ICQ_123456_..%5C..%5Ca%2Fb%3Ac%2A%3F.vdh")));
    EXPECT_EQ(Texts(odd), (std::vector<std::wstring>{L"y"}));

    // An empty part would name nobody's file.
    EXPECT_EQ(GetHistoryFilePath(m_bus, nameless).GetLength(), 0);
    EXPECT_EQ(Append(nameless, L"z"), kHistoryCannotOpen);
    m_protocols.Change(kAccount, [](CFakeProtocols::Account& a) { a.name.clear(); });
    EXPECT_EQ(Append(jabber, L"z"), kHistoryCannotOpen);
}

TEST_F(HistoryTest, APercentSignIsEscapedSoThatNoTwoContactsShareAFile)
{
    const unsigned int slash = NewContact(L"a\\b", L"S", 0);
    const unsigned int percent = NewContact(L"a%5Cb", L"P", 0);
    ASSERT_EQ(Append(slash, L"to a\\b"), kHistoryOk);
    ASSERT_EQ(Append(percent, L"to a%5Cb"), kHistoryOk);
    EXPECT_EQ(Texts(slash), (std::vector<std::wstring>{L"to a\\b"}));
    EXPECT_EQ(Texts(percent), (std::vector<std::wstring>{L"to a%5Cb"}));
    EXPECT_TRUE(CTempFolder::Exists(File(L"ICQ_123456_a%5Cb.vdh")));
    EXPECT_TRUE(CTempFolder::Exists(File(L"ICQ_123456_a%255Cb.vdh")));
}

TEST_F(HistoryTest, AFileStoredBeforePercentSignsWereEscapedIsStillReadAndAppended)
{
    const unsigned int contact = NewContact(L"50%off", L"Shop", 0);
    const std::wstring today = File(L"ICQ_123456_50%25off.vdh");
    const std::wstring before = File(L"ICQ_123456_50%off.vdh");
    ASSERT_EQ(Append(contact, L"stored"), kHistoryOk);
    ASSERT_TRUE(MoveFileW(today.c_str(), before.c_str()));

    EXPECT_EQ(Texts(contact), (std::vector<std::wstring>{L"stored"}));
    ASSERT_EQ(Append(contact, L"added"), kHistoryOk);
    EXPECT_EQ(Texts(contact), (std::vector<std::wstring>{L"stored", L"added"}));
    EXPECT_FALSE(CTempFolder::Exists(today)) << "one file for the contact";

    // Once a file goes by today's name, it is the contact's.
    ASSERT_TRUE(CopyFileW(before.c_str(), today.c_str(), FALSE));
    ASSERT_EQ(Append(contact, L"newest"), kHistoryOk);
    EXPECT_EQ(Texts(contact), (std::vector<std::wstring>{L"stored", L"added", L"newest"}));
    EXPECT_TRUE(DeleteHistory(m_bus, contact));
    EXPECT_FALSE(CTempFolder::Exists(today));
}

TEST_F(HistoryTest, PathsPastTheWin32LimitAreWrittenReadAndDeleted)
{
    // A deep folder and a long address: about 400 characters in all.
    std::wstring deep = L"\\\\?\\" + m_folder.File(L"");
    for (int level = 0; level < 3; ++level) {
        deep += std::wstring(60, static_cast<wchar_t>(L'a' + level)) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    SetHistoryFolder(CJOVString(deep.substr(4).c_str()));
    const std::wstring address = std::wstring(150, L'x') + L"@example.org";
    const unsigned int contact = NewContact(address.c_str(), L"Long", 0);
    // The form the system takes past the limit: absolute, after "\\?\".
    EXPECT_EQ(Text(GetHistoryFilePath(m_bus, contact)), deep + L"ICQ_123456_" + address + L".vdh");
    EXPECT_EQ(Append(contact, L"far away"), kHistoryOk);
    EXPECT_EQ(Append(contact, L"and back"), kHistoryOk);
    EXPECT_EQ(Texts(contact), (std::vector<std::wstring>{L"far away", L"and back"}));
    const std::wstring file = deep + L"ICQ_123456_" + address + L".vdh";
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteHistory(m_bus, contact));
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    for (int level = 0; level < 3; ++level) {
        RemoveDirectoryW(deep.c_str());
        deep.resize(deep.size() - 61);
    }
}

TEST_F(HistoryTest, LongTextsAreCutAtACharacterAndEmptyOnesKept)
{
    std::wstring text(30000, L'\x0436');  // two bytes each
    text += L'a';
    text += std::wstring(2000, L'\x20AC');  // three bytes each
    ASSERT_EQ(Append(m_loose, text.c_str()), kHistoryOk);
    ASSERT_EQ(Append(m_loose, L""), kHistoryOk);
    const std::vector<std::wstring> texts = Texts(m_loose);
    EXPECT_TRUE(texts == (std::vector<std::wstring>{text, L""})) << ::testing::PrintToString(Shortened(texts));
}

// 20,000 times "a", a 2-byte, a 4-byte and a 3-byte character: the limit of
// each record but the last falls inside a 4-, a 3- and a 2-byte character.
TEST_F(HistoryTest, ATextPastTheLimitIsKeptWholeInFullRecordsOfOneMessage)
{
    std::string utf8;
    std::wstring text;
    for (int i = 0; i < 20000; ++i) {
        utf8 += "a\xD0\xB6\xF0\x9F\x98\x80\xE4\xB8\xAD";
        text += L"a\x0436\xD83D\xDE00\x4E2D";
    }
    ASSERT_EQ(utf8.size(), 200000u);
    ASSERT_EQ(AppendHistoryMessage(m_bus, m_loose, 2, 1, 1, kTime, CJOVString(text.c_str())), kHistoryOk);

    const Bytes file = Read();
    const auto get32 = [&file](size_t at) {
        return (static_cast<size_t>(file[at]) << 24) | (static_cast<size_t>(file[at + 1]) << 16) |
               (static_cast<size_t>(file[at + 2]) << 8) | file[at + 3];
    };
    const size_t headerEnd = Header(0, 0).size();
    std::vector<HistoryFormat::Record> records;
    size_t at = headerEnd;
    while (at + HistoryFormat::kRecordHeadSize <= file.size()) {
        const size_t length = get32(at + 2);
        ASSERT_LE(at + HistoryFormat::kRecordHeadSize + length, file.size());
        HistoryFormat::Record record;
        ASSERT_TRUE(HistoryFormat::DecodeRecordBlock(&file[at + HistoryFormat::kRecordHeadSize], length, &record));
        records.push_back(record);
        at += HistoryFormat::kRecordHeadSize + length;
    }
    EXPECT_EQ(at, file.size());
    EXPECT_EQ(get32(4), file.size() - headerEnd) << "records size";
    EXPECT_EQ(get32(34), records.size()) << "count";
    EXPECT_EQ(get32(38), records.size()) << "last id";

    std::string joined;
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        const HistoryFormat::Record& record = records[i];
        EXPECT_EQ(record.time, kTime);
        EXPECT_EQ(record.direction, 1);
        EXPECT_EQ(record.flag, 1);
        EXPECT_EQ(record.kind, 2);
        ASSERT_FALSE(record.text.empty());
        EXPECT_LE(record.text.size(), HistoryFormat::kMaxTextBytes);
        // Full but for less than a character, and starting at one.
        if (i + 1 < records.size()) {
            EXPECT_GT(record.text.size() + 4, HistoryFormat::kMaxTextBytes);
        }
        EXPECT_NE(static_cast<unsigned char>(record.text[0]) & 0xC0, 0x80) << "starts inside a character";
        joined += record.text;
    }
    EXPECT_TRUE(joined == utf8) << joined.size() << " of " << utf8.size() << " bytes, or others";
}

// All of one second, direction, flag and kind: only the records decide.
TEST_F(HistoryTest, AMessageKeptInSeveralRecordsReadsBackWholeBetweenItsNeighbours)
{
    std::wstring text;
    for (int i = 0; i < 20000; ++i)
        text += L"a\x0436\xD83D\xDE00\x4E2D";  // 10 bytes: the cuts fall inside characters
    ASSERT_EQ(Append(m_loose, L"before"), kHistoryOk);
    ASSERT_EQ(Append(m_loose, text.c_str()), kHistoryOk);
    ASSERT_EQ(Append(m_loose, L"after"), kHistoryOk);
    int result = -1;
    const std::vector<std::wstring> texts = Texts(m_loose, &result);
    EXPECT_EQ(result, kHistoryOk);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], L"before");
    EXPECT_TRUE(texts[1] == text) << texts[1].size() << " of " << text.size() << " characters, or others";
    EXPECT_EQ(texts[2], L"after");
}

// A message that ends in a full record, and the next of the same second that
// would fit on where a longer one was cut: two messages, whether the append
// knows the file from its last write or reads it anew.
TEST_F(HistoryTest, AMessageAfterOneEndingInAFullRecordStaysApart)
{
    const std::wstring full(65535, L'x');
    ASSERT_EQ(Append(m_loose, full.c_str()), kHistoryOk);
    ASSERT_EQ(Append(m_loose, L"next"), kHistoryOk);
    EXPECT_EQ(Shortened(Texts(m_loose)), (std::vector<std::wstring>{L"xxxx... 65535", L"next"}));

    const std::wstring nearlyFull(65534, L'y');
    ASSERT_EQ(Append(m_loose, nearlyFull.c_str()), kHistoryOk);
    Rewrite(Read());  // the append must read the last record from the file
    ASSERT_EQ(Append(m_loose, L"\x0436 too"), kHistoryOk);
    EXPECT_EQ(Shortened(Texts(m_loose)),
              (std::vector<std::wstring>{L"xxxx... 65535", L"next", L"yyyy... 65534", L"\x0436 too"}));
}

TEST_F(HistoryTest, ReadingACutFileStopsAtItsEndAndAppendingMendsIt)
{
    for (const wchar_t* text : {L"one", L"two", L"three"})
        Append(m_loose, text);
    const Bytes whole = Read();
    const size_t headerEnd = Header(0, 0).size();
    // The records end 36, 72 and 110 bytes after the header.
    const size_t ends[] = {0, 36, 72, 110};
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        Write(Bytes(whole.begin(), whole.begin() + cut));
        int result = -1;
        const std::vector<std::wstring> texts = Texts(m_loose, &result);
        if (cut < headerEnd) {
            EXPECT_EQ(result, kHistoryBadHeader);
            EXPECT_TRUE(texts.empty());
            continue;
        }
        const size_t body = cut - headerEnd;
        size_t records = 0;
        while (records < 3 && ends[records + 1] <= body)
            ++records;
        EXPECT_EQ(texts.size(), records);
        EXPECT_EQ(result, body == ends[records] ? kHistoryOk : kHistoryIoFailed);
        // The tail never reaches past the cut either.
        EXPECT_EQ(Texts(m_loose, nullptr, 2).size(), records < 2 ? records : 2);
    }
    // A cut record is cut away before the next one goes on.
    Write(Bytes(whole.begin(), whole.end() - 4));
    ASSERT_EQ(Append(m_loose, L"four"), kHistoryOk);
    int result = -1;
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one", L"two", L"four"}));
    EXPECT_EQ(result, kHistoryOk);
    EXPECT_EQ(Read().size(), headerEnd + 72 + 37);
}

TEST_F(HistoryTest, LengthsPastTheEndAndWrongMarkersEndTheReading)
{
    for (const wchar_t* text : {L"one", L"two", L"three"})
        Append(m_loose, text);
    const Bytes whole = Read();
    const size_t second = Header(0, 0).size() + 36;
    int result = -1;

    Bytes bytes = whole;
    bytes[second + 2] = 0x7F;  // the second record's block length
    Write(bytes);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one"}));
    EXPECT_EQ(result, kHistoryIoFailed);

    bytes = whole;
    bytes[second + 1] = 2;  // marker
    Write(bytes);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one"}));

    bytes = whole;
    bytes[44] = 0x40;  // the first string's length
    Write(bytes);
    EXPECT_TRUE(Texts(m_loose, &result).empty());
    EXPECT_EQ(result, kHistoryBadHeader);

    // A record without its text item is passed over.
    bytes = whole;
    bytes[second + 6 + 8 + 8 + 7 + 1] = 9;  // the text item's type
    Write(bytes);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one", L"three"}));
    EXPECT_EQ(result, kHistoryOk);
}

TEST_F(HistoryTest, TheCountDecidesHowManyRecordsAreRead)
{
    for (const wchar_t* text : {L"one", L"two", L"three"})
        Append(m_loose, text);
    Bytes bytes = Read();
    int result = -1;
    bytes[37] = 9;  // count above the records
    Write(bytes);
    EXPECT_EQ(Texts(m_loose, &result).size(), 3u);
    EXPECT_EQ(result, kHistoryOk);
    EXPECT_EQ(Texts(m_loose, nullptr, 2), (std::vector<std::wstring>{L"two", L"three"}));
    bytes[37] = 2;
    Write(bytes);
    EXPECT_EQ(Texts(m_loose), (std::vector<std::wstring>{L"one", L"two"}));
    bytes[0] = 'X';  // the magic is not checked
    Write(bytes);
    EXPECT_EQ(Texts(m_loose).size(), 2u);
}

TEST_F(HistoryTest, AMessageAppendedOntoDamagedRecordsIsReadBack)
{
    for (const wchar_t* text : {L"one", L"two", L"three"})
        Append(m_loose, text);
    const Bytes whole = Read();
    const size_t second = Header(0, 0).size() + 36;
    int result = -1;

    // A damaged marker with the sizes still agreeing: the records after it
    // were lost to the reader already; the new message must not be.
    Bytes bytes = whole;
    bytes[second + 1] = 2;
    Write(bytes);
    ASSERT_EQ(Append(m_loose, L"four"), kHistoryOk);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one", L"four"}));
    EXPECT_EQ(result, kHistoryOk);

    // A count below the records: every whole record is counted again.
    bytes = whole;
    bytes[37] = 2;
    Write(bytes);
    ASSERT_EQ(Append(m_loose, L"four"), kHistoryOk);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one", L"two", L"three", L"four"}));
    EXPECT_EQ(result, kHistoryOk);
    EXPECT_EQ(Texts(m_loose, nullptr, 1), (std::vector<std::wstring>{L"four"}));

    // The largest count: one more would be none.
    bytes = whole;
    for (size_t at = 34; at < 38; ++at)
        bytes[at] = 0xFF;
    Write(bytes);
    ASSERT_EQ(Append(m_loose, L"four"), kHistoryOk);
    EXPECT_EQ(Texts(m_loose, &result), (std::vector<std::wstring>{L"one", L"two", L"three", L"four"}));
    EXPECT_EQ(result, kHistoryOk);
}

TEST_F(HistoryTest, AnotherVersionIsNeitherReadNorWritten)
{
    Append(m_loose, L"one");
    Bytes bytes = Read();
    bytes[3] = 2;
    Write(bytes);
    int result = -1;
    EXPECT_TRUE(Texts(m_loose, &result).empty());
    EXPECT_EQ(result, kHistoryOtherVersion);
    EXPECT_EQ(Append(m_loose, L"two"), kHistoryOtherVersion);
    EXPECT_EQ(Read(), bytes);
}

TEST_F(HistoryTest, ADamagedHeaderIsKeptAsideAndANewFileStarted)
{
    Append(m_loose, L"one");
    const Bytes whole = Read();
    Write(Bytes(whole.begin(), whole.begin() + 20));
    ASSERT_EQ(Append(m_loose, L"fresh"), kHistoryOk);
    EXPECT_EQ(Texts(m_loose), (std::vector<std::wstring>{L"fresh"}));
    EXPECT_EQ(CTempFolder::Read(File(L"ICQ_123456_uin42.vdh.bad")), Bytes(whole.begin(), whole.begin() + 20));

    Write(Bytes(whole.begin(), whole.begin() + 5));
    ASSERT_EQ(Append(m_loose, L"fresher"), kHistoryOk);
    EXPECT_TRUE(CTempFolder::Exists(File(L"ICQ_123456_uin42.vdh.bad2")));
    EXPECT_TRUE(DeleteHistory(m_bus, m_loose));
    EXPECT_FALSE(CTempFolder::Exists(File()));
    EXPECT_FALSE(DeleteHistory(m_bus, m_loose));
}

TEST_F(HistoryTest, AnAppendRacingReadsLosesNothing)
{
    constexpr int kMessages = 150;
    std::atomic<bool> done{false};
    std::atomic<int> refused{0};
    std::thread reader([&] {
        while (!done) {
            CJOVArray<SMessage> messages;
            const int result = ReadHistoryTail(m_bus, m_loose, 5, messages);
            if (result != kHistoryOk && result != kHistoryCannotOpen)
                ++refused;
        }
    });
    int failed = 0;
    for (int i = 0; i < kMessages; ++i)
        failed += Append(m_loose, std::to_wstring(i).c_str()) != kHistoryOk;
    done = true;
    reader.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(refused, 0);
    const std::vector<std::wstring> texts = Texts(m_loose);
    ASSERT_EQ(texts.size(), static_cast<size_t>(kMessages));
    EXPECT_EQ(texts.back(), std::to_wstring(kMessages - 1));
}

} // namespace
