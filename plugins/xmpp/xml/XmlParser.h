// Reads the XMPP stream, one document that lasts as long as the connection,
// from a buffer that grows as bytes arrive. It keeps the elements still open,
// hands the stream's own element and every stanza to callbacks, and drops each
// stanza once its callback has run. It knows elements, attributes, character
// data with the predefined and numeric references, CDATA sections (read as
// text), comments and the XML declaration; anything else and anything that
// cannot be parsed (bytes that are not UTF-8, an attribute named twice, a "<"
// in a value) is a stream error, after which it parses nothing until Reset. A
// stanza past one of its limits is skipped instead: read to its close and
// checked all the same, but nothing of it kept beyond what the skip callback
// is told.
//
// Used on the account's event thread only.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "XmlNode.h"

class XmlParser {
public:
    typedef void (*Callback)(XmlNode* node, void* user);

    enum Error {
        kNoError = 0,
        kNotWellFormed,  // a tag, reference or close tag that cannot be read
        kNulByte,        // XML has no NUL character
        kTooLarge,       // what cannot be read without holding it whole (see kMaxStanzaBytes)
    };

    // A stanza of more bytes than this is skipped. A text or a tag of more,
    // inside a stanza or opening one, is read in parts, as no buffer holds
    // more: of such a tag only its outline is kept (names, unquoted values,
    // a blank for each run of blanks), its quoted values are checked as they
    // pass and kept only where told. Stream errors, as the stream's own tag past the memory limit is:
    // a comment of more, a tag of more between stanzas that opens none (the
    // stream's own tag or end tag, a declaration), a tag whose outline is
    // longer than this, and a skipped stanza whose elements open at once
    // have names of more than twice this. No stanza within the limit comes
    // near any of them.
    static constexpr int kMaxStanzaBytes = 1 << 20;
    // A skipped stanza tells its "type", "id" and "from" only when each is
    // at most this long as written: an answer needs no more.
    static constexpr int kMaxToldBytes = 4096;
    // What the tree of one stanza may cost the heap, as the parser reckons
    // each element, attribute and text (at or above their real cost): a
    // stanza past it is skipped. A roster of 5,000 contacts as a server
    // writes it costs about 4 MiB.
    static constexpr long long kMaxStanzaMemory = 8 << 20;
    // A stanza nested deeper than this is skipped.
    static constexpr int kMaxDepth = 64;

    struct Limits {
        int stanzaBytes = kMaxStanzaBytes;
        long long stanzaMemory = kMaxStanzaMemory;
        int depth = kMaxDepth;
    };

    XmlParser();
    // Tests give lower limits.
    explicit XmlParser(const Limits& limits);
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Clears the tree, the callbacks and any error. From inside a
    // callback it takes effect when that callback returns, and the chunk is
    // not parsed further.
    void Reset();
    void Destroy() { Reset(); }
    // depth 1 or 2, close 0 (element opened) or 1 (element closed); false for
    // other values. A stanza's node is freed after its close callback.
    bool SetCallback(int depth, int close, Callback callback, void* user);
    // At the close of a skipped stanza, instead of its close callback: the
    // node holds the stanza's name and, where its own tag carried them,
    // "type", "id" and "from"; nothing inside. A stanza skipped at its own
    // tag (past the memory limit, or read in parts) tells only values of
    // kMaxToldBytes at most.
    void SetSkipCallback(Callback callback, void* user);

    // Parses the complete part of the bytes and answers how many it consumed
    // from the start, or -1 on a stream error (GetError). The caller removes
    // the consumed bytes and calls again with the rest followed by whatever
    // arrived since: any split of the stream gives the same callbacks.
    int ParseChunk(const char* data, int length);
    Error GetError() const { return m_error; }

    // The innermost element's depth: 0 outside the stream, 1 between stanzas.
    int CurrentDepth() const { return static_cast<int>(m_open.size() + m_skippedEnds.size()); }

private:
    struct Slot {
        Callback callback = nullptr;
        void* user = nullptr;
    };
    enum Step { kConsumed, kIncomplete, kFailed };
    enum class Keep { kAll, kTold, kNone };
    enum class Read { kRead, kNotWellFormed, kPastMemory };
    // An element still open, and its text so far (UTF-8, references decoded).
    struct OpenNode {
        XmlNode* node;
        std::string text;
        bool hasText;
    };
    // A tag longer than the byte limit, read in parts: what its check at the
    // '>' needs, never the tag itself.
    struct TagInParts {
        bool active = false;
        bool opensStanza = false;  // keeps what the skip callback tells
        char quote = 0;            // inside a quoted value
        unsigned keeping = 0;      // the told value being kept, of the stanza's own tag
        unsigned untold = 0;       // those too long to tell
        // A value that is not well-formed, told at the '>' as a whole tag's would be.
        bool faulty = false;
        std::string outline;  // the tag as HandleTag reads it, untold values left out
        std::string value;    // the told value so far, one byte past kMaxToldBytes at most
    };

    Step ScanText(const char* data, int pos, int length, int& end);
    // Text or a CDATA section's content (literal) from pos to stop: the end
    // of the bytes at hand, unless its end was found there (closed).
    Step TakeCharacterData(const char* data, int pos, int stop, bool closed, bool literal, int& end);
    Step ScanComment(const char* data, int pos, int length, int& end);
    // A CDATA section's content, its "<![CDATA[" consumed.
    Step ScanCdata(const char* data, int pos, int length, int& end);
    Step ScanTag(const char* data, int pos, int length, int& end);
    // Reads on a tag past the byte limit; consumes what is checked.
    Step ReadTagPart(const char* data, int pos, int length, int& end);
    void ReadValuePart(const char* value, int length);
    bool CloseQuotedValue();
    bool FinishTagInParts();
    // Where the scan of a tag or comment at pos stops: at the end of the
    // bytes, or at the limit (then it is longer than the limit).
    int PieceEnd(int pos, int length) const;
    bool HandleTag(const char* tag, int length);
    bool OpenElement(const char* name, int nameLength, const char* attributes, int attributesLength, bool empty);
    // An element inside a skipped stanza: checked, its name kept until its close.
    bool SkipElement(const char* name, int nameLength, const char* attributes, int attributesLength, bool empty);
    bool CloseElement(const char* name, int nameLength);
    // Character data, its references decoded unless it is literal (CDATA).
    bool AddText(const char* text, int length, bool literal = false);
    // Reads a tag's attributes, every name and value checked, into the node:
    // all of them while the stanza's memory allows (kPastMemory when not),
    // only those a skipped stanza tells, or none.
    Read ReadAttributes(const char* text, int length, XmlNode* node, Keep keep);
    void Fire(int depth, int close, XmlNode* node);
    void Fail(Error error);
    // Counts bytes of the current stanza; past the limit it is skipped.
    void AddStanzaBytes(int bytes);
    // Counts what the stanza's tree costs; false once past the limit.
    bool AddStanzaMemory(long long bytes);
    // Drops the current stanza's tree, keeps the names of its open elements.
    void StartSkipping();
    bool PushSkippedName(const char* name, size_t length);
    void Clear();

    Limits m_limits;
    Slot m_slots[2][2];
    Slot m_skipSlot;
    XmlNode m_root;
    std::vector<OpenNode> m_open;  // innermost last; in a skipped stanza, down to the stanza
    long long m_stanzaBytes;
    long long m_stanzaMemory;  // of the stanza open, or of the stream's own tag
    bool m_skipping;
    // The elements open inside a skipped stanza, below m_open: their names
    // one after another, and where each ends.
    std::string m_skippedNames;
    std::vector<unsigned> m_skippedEnds;
    std::vector<std::pair<const char*, size_t>> m_names;  // a tag's attribute names, for the check of repeats
    std::string m_scratch;  // an attribute value's decoding
    TagInParts m_tagInParts;
    // HandleTag of a tag read in parts: its stanza is skipped, without the
    // told values that were too long.
    bool m_tagPastLimit;
    unsigned m_untold;
    bool m_inCdata;
    Error m_error;
    // How far the unfinished piece at the start of the next chunk was already
    // looked at, so a long piece arriving in many reads is scanned once.
    int m_scanned;
    char m_quote;
    bool m_parsing;
    bool m_resetPending;
};
