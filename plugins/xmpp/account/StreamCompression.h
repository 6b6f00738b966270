// zlib stream compression of an XMPP stream (XEP-0138): everything sent goes
// through one deflate stream flushed at the end of each write, everything
// received through one inflate stream. Used on the account's event thread.
#pragma once

#include <zlib.h>

#include <functional>

class CStreamCompression {
public:
    // Compressed bytes move in pieces of this size.
    static constexpr int kChunk = 2048;

    // Takes what the socket holds, up to the size: the count, 0 when nothing
    // waits, below 0 on failure.
    typedef std::function<int(char* buffer, int size)> ReadFn;
    // Hands one compressed piece on; false when it could not be sent.
    typedef std::function<bool(const char* data, int length)> SendFn;

    CStreamCompression();
    ~CStreamCompression();
    CStreamCompression(const CStreamCompression&) = delete;
    CStreamCompression& operator=(const CStreamCompression&) = delete;

    // Both streams ready (deflate at level 9): false when zlib cannot start
    // them, and then nothing is kept.
    bool Start();
    // Ends both streams; harmless when not started.
    void Stop();
    bool IsStarted() const { return m_started; }

    // The whole text, flushed so that the peer can read all of it now.
    bool Compress(const char* data, int length, const SendFn& send);
    // Inflates into `out` until it produced something or the socket holds no
    // more: the count, 0 when nothing more can be had now, below 0 when the
    // stream is broken or ended.
    int Decompress(const ReadFn& read, char* out, int capacity);

private:
    z_stream m_deflate;
    z_stream m_inflate;
    bool m_started;
    bool m_needsInput;
    unsigned char* m_input;
};
