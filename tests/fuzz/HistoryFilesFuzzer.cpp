// A contact's message history file as a crash or a copy may leave it: read
// whole and by its tail, then a message appended onto it, after which the
// file reads without damage and ends with that message. An input that asks
// for it first gets a message of the same second, direction, flag and kind whose
// last record may be full for the next one's first character: both must read
// back whole and apart, whether the append knows the file from its last write
// or not.

#include <string>
#include <vector>

#include "JOVArray.h"
#include "MemoryFiles.h"
#include "messaging/HistoryFiles.h"
#include "support/HistoryBus.h"
#include "support/FuzzCheck.h"

namespace {

const wchar_t kFolder[] = L"C:\\JOV\\History\\";
const wchar_t kFile[] = L"C:\\JOV\\History\\ICQ_alice_bob.vdh";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    static CHistoryBus bus;
    SetHistoryFolder(CJOVString(kFolder));
    MemoryFiles::Put(kFile, data, size);

    CJOVArray<SMessage> all;
    ReadHistory(bus, bus.contact, all);
    CJOVArray<SMessage> tail;
    ReadHistoryTail(bus, bus.contact, 2, tail);
    FUZZ_CHECK(tail.Count() <= 2);

    // A file that ends in 0xA5 takes the case from the byte before it. Few
    // files do, nor keep doing under mutation, so the long messages leave the
    // target its pace.
    const bool longFirst = size >= 2 && data[size - 1] == 0xA5;
    const unsigned char pick = longFirst ? data[size - 2] : 0;
    // 65,532 to 65,535 bytes, then a character of 1 to 4.
    const CJOVString filler(longFirst ? std::wstring(65535 - pick % 4, L'x').c_str() : L"");
    const wchar_t* const starts[] = {L"a", L"\x0436", L"\x263A", L"\xD83D\xDE00"};
    const CJOVString text = CJOVString(longFirst ? starts[pick / 4 % 4] : L"") + CJOVString(L"appended \x263A");
    const unsigned long time = 1700000000ul;
    const bool ready = !longFirst || AppendHistoryMessage(bus, bus.contact, 1, 1, 0, time, filler) == kHistoryOk;
    // Written again as another process would: the append reads the last record from the file.
    std::vector<unsigned char> bytes;
    if (longFirst && ready && (pick & 16) && MemoryFiles::Get(kFile, &bytes))
        MemoryFiles::Put(kFile, bytes);
    if (ready && AppendHistoryMessage(bus, bus.contact, 1, 1, 0, time, text) == kHistoryOk) {
        CJOVArray<SMessage> after;
        FUZZ_CHECK(ReadHistory(bus, bus.contact, after) == kHistoryOk);
        FUZZ_CHECK(after.Count() > 0 && after.Last().text == text);
        const int wanted = longFirst ? 2 : 1;
        CJOVArray<SMessage> last;
        FUZZ_CHECK(ReadHistoryTail(bus, bus.contact, wanted, last) == kHistoryOk);
        FUZZ_CHECK(last.Count() == wanted && last.Last().text == text);
        FUZZ_CHECK(!longFirst || (after.Count() >= 2 && after[after.Count() - 2].text == filler &&
                                  last[0].text == filler));
    }
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
