// The HTML bodies of notification bubbles. Texts from elsewhere (a contact's
// alias, an account name, a message, a warning) are escaped, so that they
// show as they stand and cannot add markup of their own.
#pragma once

#include <vector>

#include "JOVString.h"
#include "core/notify/NotifyHost.h"

// & < > " as entities.
CJOVString EscapeBubbleText(const CJOVString& text);

// A message as bubble HTML, in one left-to-right scan of the text: "\r\n"
// becomes "<br>", the first smiley code found at a place (smilies in set
// order, codes in order; empty codes never match) becomes the smiley's image,
// at most five images in all, and every other character is escaped.
CJOVString TextToBubbleHtml(const CJOVString& text, const std::vector<BubbleSmiley>& smilies);

// A warning's plain text: escaped, "\r\n" as "<br>".
CJOVString PlainTextToBubbleHtml(const CJOVString& text);

// The body of a sign-on (online) or sign-off notice.
CJOVString StatusBubbleHtml(const CJOVString& alias, const CJOVString& statusWord, bool online,
                            const CJOVString& protocolName, const CJOVString& accountName);
