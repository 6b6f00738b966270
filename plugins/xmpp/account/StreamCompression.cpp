#include "StreamCompression.h"

#include <cstdlib>
#include <cstring>

CStreamCompression::CStreamCompression() : m_started(false), m_needsInput(true), m_input(nullptr)
{
    std::memset(&m_deflate, 0, sizeof m_deflate);
    std::memset(&m_inflate, 0, sizeof m_inflate);
}

CStreamCompression::~CStreamCompression()
{
    Stop();
}

bool CStreamCompression::Start()
{
    Stop();
    m_input = static_cast<unsigned char*>(std::malloc(kChunk));
    if (!m_input)
        return false;
    if (deflateInit(&m_deflate, 9) != Z_OK) {
        std::free(m_input);
        m_input = nullptr;
        return false;
    }
    if (inflateInit(&m_inflate) != Z_OK) {
        deflateEnd(&m_deflate);
        std::free(m_input);
        m_input = nullptr;
        return false;
    }
    m_started = true;
    m_needsInput = true;
    return true;
}

void CStreamCompression::Stop()
{
    if (m_started) {
        deflateEnd(&m_deflate);
        inflateEnd(&m_inflate);
        m_started = false;
    }
    std::memset(&m_deflate, 0, sizeof m_deflate);
    std::memset(&m_inflate, 0, sizeof m_inflate);
    std::free(m_input);
    m_input = nullptr;
    m_needsInput = true;
}

bool CStreamCompression::Compress(const char* data, int length, const SendFn& send)
{
    if (!m_started || length < 0)
        return false;
    unsigned char piece[kChunk];
    m_deflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_deflate.avail_in = static_cast<uInt>(length);
    do {
        m_deflate.next_out = piece;
        m_deflate.avail_out = kChunk;
        int result = deflate(&m_deflate, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_BUF_ERROR)
            return false;
        int produced = kChunk - static_cast<int>(m_deflate.avail_out);
        if (produced > 0 && !send(reinterpret_cast<const char*>(piece), produced))
            return false;
    } while (m_deflate.avail_out == 0);
    return true;
}

int CStreamCompression::Decompress(const ReadFn& read, char* out, int capacity)
{
    if (!m_started)
        return -1;
    if (capacity <= 0)
        return 0;
    for (;;) {
        if (m_needsInput) {
            int n = read(reinterpret_cast<char*>(m_input), kChunk);
            if (n < 1)
                return n;
            m_inflate.next_in = m_input;
            m_inflate.avail_in = static_cast<uInt>(n);
            m_needsInput = false;
        }
        m_inflate.next_out = reinterpret_cast<Bytef*>(out);
        m_inflate.avail_out = static_cast<uInt>(capacity);
        int result = inflate(&m_inflate, Z_NO_FLUSH);
        int produced = capacity - static_cast<int>(m_inflate.avail_out);
        if (result == Z_STREAM_END)
            return produced > 0 ? produced : -1;  // the peer ended its stream: nothing can follow
        if (result != Z_OK && result != Z_BUF_ERROR)
            return -1;
        // Room left over: inflate took all it was given. A full output may
        // hold back more, which comes without new input.
        if (m_inflate.avail_out != 0)
            m_needsInput = true;
        if (produced > 0)
            return produced;
    }
}
