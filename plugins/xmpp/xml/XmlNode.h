// One element of the XMPP stream: made by XmlParser as the stream arrives, or
// by the builder for what the account sends. Element and attribute names stay
// the bytes of the wire (UTF-8); attribute values and text are UTF-16, with
// every reference already decoded. A node owns its attributes and children.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "JOVString.h"

struct XmlAttribute {
    std::string name;
    CJOVString value;
};

class XmlNode {
public:
    explicit XmlNode(std::string name = std::string());
    // Frees the subtree without recursion: a parsed tree may be deep.
    ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // Builder side. Values and texts are kept as given and escaped once, when
    // the node is written (ToString); 8-bit texts are read as UTF-8.
    XmlNode* AddAttribute(const char* name, const CJOVString& value);
    XmlNode* AddAttribute(const char* name, const wchar_t* value);
    XmlNode* AddAttribute(const char* name, const char* value);
    XmlNode* AddAttribute(const char* name, int value);
    // id = "jov_N".
    XmlNode* AddStanzaId(int number);
    // Each answers the new child.
    XmlNode* AddChild(const char* name);
    XmlNode* AddChild(const char* name, const CJOVString& text);
    XmlNode* AddChild(const char* name, const wchar_t* text);
    XmlNode* AddChild(const char* name, const char* text);
    XmlNode* AddChild(std::unique_ptr<XmlNode> child);
    // A child "query" with that xmlns.
    XmlNode* AddQuery(const char* xmlns);
    void SetText(const CJOVString& text);

    std::string name;
    int depth = 0;  // the stream element 1, stanzas 2
    bool hasText = false;
    CJOVString text;
    std::vector<XmlAttribute> attributes;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::string prefix;        // written raw before the element: the XML declaration
    bool openTagOnly = false;  // written without its end: the stream header
};

// Look-ups; each answers null when the node is null or nothing matches.
// Names compare case-sensitively, as XML names do.
const CJOVString* GetAttribute(const XmlNode* node, const char* name);
const CJOVString* GetText(const XmlNode* node);
XmlNode* GetChild(const XmlNode* node, const char* name);
// n counts from 1.
XmlNode* GetNthChild(const XmlNode* node, const char* name, int n);
XmlNode* GetChildWithAttribute(const XmlNode* node, const char* name, const char* attribute, const wchar_t* value);
XmlNode* GetFirstChild(const XmlNode* node);
// Whether the attribute is there and equals the text.
bool AttributeIs(const XmlNode* node, const char* name, const wchar_t* value);
