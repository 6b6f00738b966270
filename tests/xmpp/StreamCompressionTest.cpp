// The stream's zlib layer: what one side compresses the other reads back,
// however the socket hands the bytes over, and a broken stream is reported.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "StreamCompression.h"

namespace {

// Bytes "in the socket", handed out at most `step` at a time.
struct Wire {
    std::string bytes;
    size_t at = 0;
    int step = 1 << 20;
    int reads = 0;

    int Read(char* buffer, int size)
    {
        ++reads;
        int n = static_cast<int>(std::min<size_t>({bytes.size() - at, static_cast<size_t>(size),
                                                   static_cast<size_t>(step)}));
        bytes.copy(buffer, static_cast<size_t>(n), at);
        at += static_cast<size_t>(n);
        return n;
    }
};

std::string Compressed(CStreamCompression& compression, const std::string& text, std::vector<int>* pieces = nullptr)
{
    std::string out;
    EXPECT_TRUE(compression.Compress(text.data(), static_cast<int>(text.size()), [&](const char* data, int length) {
        out.append(data, static_cast<size_t>(length));
        if (pieces)
            pieces->push_back(length);
        return true;
    }));
    return out;
}

// Everything the other side can read now, `capacity` bytes at a time.
std::string DrainAll(CStreamCompression& compression, Wire& wire, int capacity)
{
    std::string text;
    std::vector<char> out(static_cast<size_t>(capacity));
    for (;;) {
        int n = compression.Decompress([&](char* b, int s) { return wire.Read(b, s); }, out.data(), capacity);
        EXPECT_GE(n, 0);
        if (n <= 0)
            return text;
        text.append(out.data(), static_cast<size_t>(n));
    }
}

// Text that compresses badly, so that it needs many pieces.
std::string Noise(size_t length)
{
    std::string text;
    unsigned int seed = 12345;
    while (text.size() < length) {
        seed = seed * 1103515245u + 12345u;
        text += static_cast<char>('!' + (seed >> 16) % 90);
    }
    return text;
}

} // namespace

TEST(StreamCompression, WhatOneSideSendsTheOtherReadsWholeHoweverTheBytesArrive)
{
    CStreamCompression sender, receiver;
    ASSERT_TRUE(sender.Start());
    ASSERT_TRUE(receiver.Start());
    const std::string first = "<?xml version='1.0'?><stream:stream to='localhost' version='1.0'>";
    const std::string second = "<iq type='get' id='jov_1'><query xmlns='jabber:iq:roster'/></iq>";
    Wire wire;
    wire.bytes = Compressed(sender, first);
    wire.bytes += Compressed(sender, second);
    // One byte at a time: the first reads produce nothing (zlib's header), and
    // the reading goes on while the socket holds more.
    wire.step = 1;
    EXPECT_EQ(DrainAll(receiver, wire, 4096), first + second);
    EXPECT_EQ(wire.at, wire.bytes.size());
}

TEST(StreamCompression, OutputLargerThanTheRoomComesOutOverSeveralCalls)
{
    CStreamCompression sender, receiver;
    ASSERT_TRUE(sender.Start());
    ASSERT_TRUE(receiver.Start());
    const std::string text(50000, 'a');
    Wire wire;
    wire.bytes = Compressed(sender, text);
    std::string read = DrainAll(receiver, wire, 100);
    EXPECT_EQ(read.size(), text.size());
    EXPECT_EQ(read, text);
}

TEST(StreamCompression, EachWriteIsFlushedInPiecesOfAtMost2048Bytes)
{
    CStreamCompression sender, receiver;
    ASSERT_TRUE(sender.Start());
    ASSERT_TRUE(receiver.Start());
    std::vector<int> pieces;
    const std::string text = Noise(20000);
    Wire wire;
    wire.bytes = Compressed(sender, text, &pieces);
    ASSERT_GT(pieces.size(), 2u);
    for (int piece : pieces)
        EXPECT_LE(piece, CStreamCompression::kChunk);
    EXPECT_EQ(DrainAll(receiver, wire, 4096), text) << "flushed: all of it is readable at once";

    // A piece the socket does not take stops the write.
    int calls = 0;
    EXPECT_FALSE(sender.Compress(text.data(), static_cast<int>(text.size()), [&](const char*, int) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

TEST(StreamCompression, ABrokenOrEndedStreamIsAnError)
{
    CStreamCompression receiver;
    ASSERT_TRUE(receiver.Start());
    Wire garbage;
    garbage.bytes = "this is not zlib at all";
    char out[256];
    EXPECT_LT(receiver.Decompress([&](char* b, int s) { return garbage.Read(b, s); }, out, sizeof out), 0);

    // A peer that ends its deflate stream can send nothing more.
    ASSERT_TRUE(receiver.Start());
    std::string ended(64, '\0');
    uLongf size = static_cast<uLongf>(ended.size());
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(&ended[0]), &size, reinterpret_cast<const Bytef*>("hi"), 2), Z_OK);
    ended.resize(size);
    Wire wire;
    wire.bytes = ended;
    EXPECT_EQ(receiver.Decompress([&](char* b, int s) { return wire.Read(b, s); }, out, sizeof out), 2);
    EXPECT_LT(receiver.Decompress([&](char* b, int s) { return wire.Read(b, s); }, out, sizeof out), 0);

    CStreamCompression stopped;
    EXPECT_LT(stopped.Decompress([&](char* b, int s) { return wire.Read(b, s); }, out, sizeof out), 0);
    EXPECT_FALSE(stopped.Compress("x", 1, [](const char*, int) { return true; }));
}
