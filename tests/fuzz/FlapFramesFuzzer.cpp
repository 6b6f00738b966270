// FLAP and SNAC headers and the TLV chains behind them, as the ICQ plug-in
// reads every received frame. Beyond staying inside the bytes: a chain read
// and written back is the bytes it was read from, and an item read alone is
// the chain's first.
#include <cstdlib>
#include <cstring>

#include "SNACPacket.h"
#include "TLV.h"
#include "support/FuzzCheck.h"

namespace {

// A SNAC header reader that exposes the body the way every packet reads it.
class CFrame : public CSNACPacket {
public:
    CByteReader Body(const unsigned char* bytes, int length, int bodyOffset) const
    {
        return BodyReader(bytes, length, bodyOffset);
    }
};

void ReadChain(const unsigned char* bytes, int length)
{
    CTLVCol chain;
    int consumed = chain.Unpack(bytes, length);
    FUZZ_CHECK(consumed >= 0 && consumed <= length && consumed == chain.GetDataLength());
    unsigned char* written = chain.GetBuffer(0);
    FUZZ_CHECK(written != nullptr);
    FUZZ_CHECK(consumed == 0 || std::memcmp(written, bytes, static_cast<size_t>(consumed)) == 0);
    std::free(written);

    CTLV first(bytes, length);
    if (!chain.empty()) {
        FUZZ_CHECK(first.GetType() == chain[0].GetType() && first.GetDataLength() == chain[0].GetDataLength());
        const CTLV* found = chain.GetTLV(chain[0].GetType());
        FUZZ_CHECK(found == &chain[0]);
    }
    // The little-endian form used by the history records has the same size.
    unsigned char* little = chain.GetBuffer(1);
    FUZZ_CHECK(little != nullptr);
    std::free(little);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const int length = static_cast<int>(size);
    CICQPacket flap;
    if (flap.Unpack(data, length) > 0) {
        CFrame snac;
        int bodyOffset = snac.Unpack(data, length);
        if (bodyOffset > 0) {
            FUZZ_CHECK(bodyOffset <= length);
            CByteReader body = snac.Body(data, length, bodyOffset);
            FUZZ_CHECK(body.Remaining() >= 0 && body.Remaining() <= length - bodyOffset);
            ReadChain(body.Current(), body.Remaining());
        }
    }
    ReadChain(data, length);
    return 0;
}
