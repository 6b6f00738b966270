// Reads the XMPP stream, one document that lasts as long as the connection,
// from a buffer that grows as bytes arrive. It keeps the elements still open,
// hands the stream's own element and every stanza to callbacks, and drops each
// stanza once its callback has run. It knows elements, attributes, character
// data with the predefined and numeric references, comments and the XML
// declaration; anything else, anything that cannot be parsed (bytes that are
// not UTF-8, an attribute named twice, a "<" in a value) and a stanza past
// its limits is a stream error, after which it parses nothing until Reset.
//
// Used on the account's event thread only.
#pragma once

#include <string>
#include <vector>

#include "XmlNode.h"

class XmlParser {
public:
    typedef void (*Callback)(XmlNode* node, void* user);

    enum Error {
        kNoError = 0,
        kNotWellFormed,  // a tag, reference or close tag that cannot be read
        kNulByte,        // XML has no NUL character
        kTooLarge,       // a stanza, or one piece of it, past one of the limits below
    };

    // Past this a stanza ends the connection; any lower limit would let a
    // sender end it with a legal stanza.
    static constexpr int kMaxStanzaBytes = 1 << 20;
    // A stanza's elements (itself included) and attributes, and the stream
    // tag's attributes: the tree of one stanza costs a few MiB at most,
    // whatever its bytes. A roster of some 4,000 contacts fits.
    static constexpr int kMaxStanzaNodes = 20000;
    // Elements nested deeper than this end the connection too: a request
    // refused that way is refused aloud, never dropped in silence.
    static constexpr int kMaxDepth = 64;

    XmlParser();
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Clears the tree, the four callbacks and any error. From inside a
    // callback it takes effect when that callback returns, and the chunk is
    // not parsed further.
    void Reset();
    void Destroy() { Reset(); }
    // depth 1 or 2, close 0 (element opened) or 1 (element closed); false for
    // other values. A stanza's node is freed after its close callback.
    bool SetCallback(int depth, int close, Callback callback, void* user);

    // Parses the complete part of the bytes and answers how many it consumed
    // from the start, or -1 on a stream error (GetError). The caller removes
    // the consumed bytes and calls again with the rest followed by whatever
    // arrived since: any split of the stream gives the same callbacks.
    int ParseChunk(const char* data, int length);
    Error GetError() const { return m_error; }

    // The innermost element's depth: 0 outside the stream, 1 between stanzas.
    int CurrentDepth() const { return static_cast<int>(m_open.size()); }

private:
    struct Slot {
        Callback callback = nullptr;
        void* user = nullptr;
    };
    enum Step { kConsumed, kIncomplete, kFailed };
    // An element still open, and its text so far (UTF-8, references decoded).
    struct OpenNode {
        XmlNode* node;
        std::string text;
        bool hasText;
    };

    Step ScanText(const char* data, int pos, int length, int& end);
    Step ScanComment(const char* data, int pos, int length, int& end);
    Step ScanTag(const char* data, int pos, int length, int& end);
    bool HandleTag(const char* tag, int length);
    bool OpenElement(const char* name, int nameLength, const char* attributes, int attributesLength, bool empty);
    bool CloseElement(const char* name, int nameLength);
    bool AddText(const char* text, int length);
    void Fire(int depth, int close, XmlNode* node);
    void Fail(Error error);
    // Counts bytes of the current stanza; past the limit the parse fails and
    // the answer is false.
    bool AddStanzaBytes(int bytes);
    void Clear();

    Slot m_slots[2][2];
    XmlNode m_root;
    std::vector<OpenNode> m_open;  // innermost last
    long long m_stanzaBytes;
    int m_stanzaNodes;  // of the stanza open, or of the stream's own tag
    std::string m_scratch;  // an attribute value's decoding
    Error m_error;
    // How far the unfinished piece at the start of the next chunk was already
    // looked at, so a long piece arriving in many reads is scanned once.
    int m_scanned;
    char m_quote;
    bool m_parsing;
    bool m_resetPending;
};
