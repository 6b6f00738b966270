// Making and writing the elements the account sends, and reading the numbers
// it gave its own requests back from the answers.
#pragma once

#include <memory>
#include <string>

#include "XmlNode.h"

// <iq> with, in this order, type (when given), to (when given) and id
// "jov_N" (when the number is not -1).
std::unique_ptr<XmlNode> InitIq(const char* type, int number, const CJOVString* to = nullptr);
// The same with an id of the caller's (an answer to someone else's request).
std::unique_ptr<XmlNode> InitIq(const char* type, const CJOVString* id, const CJOVString* to);

// The stream's opening: the XML declaration and the open tag of
// stream:stream addressed to the server.
std::unique_ptr<XmlNode> MakeStreamHeader(const CJOVString& server);

// The node in UTF-8: values between apostrophes, every text and value escaped
// here and only here.
std::string ToString(const XmlNode* node);

// Character data in UTF-8, escaped: carriage returns dropped, the five
// markup characters as entities, other control characters as blanks, and what
// XML cannot carry (unpaired surrogates, U+FFFE, U+FFFF) as U+FFFD.
std::string XmlEscape(const CJOVString& text);

// N of an id "jov_N"; -1 for any other id or none.
int GetStanzaNumber(const XmlNode* node);
