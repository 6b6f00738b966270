// A contact's message history file as a crash or a copy may leave it: read
// whole and by its tail, then a message appended onto it, after which the
// file reads without damage and ends with that message.

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

    const CJOVString text(L"appended \x263A");
    if (AppendHistoryMessage(bus, bus.contact, 1, 1, 0, 1700000000ul, text) == kHistoryOk) {
        CJOVArray<SMessage> after;
        FUZZ_CHECK(ReadHistory(bus, bus.contact, after) == kHistoryOk);
        FUZZ_CHECK(after.Count() > 0 && after.Last().text == text);
        CJOVArray<SMessage> last;
        FUZZ_CHECK(ReadHistoryTail(bus, bus.contact, 1, last) == kHistoryOk);
        FUZZ_CHECK(last.Count() == 1 && last[0].text == text);
    }
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
