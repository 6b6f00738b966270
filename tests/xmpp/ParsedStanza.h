// One stanza read by the account's parser inside a stream, for the tests that
// hand stanzas to the code that takes them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "xml/XmlParser.h"

// The stanza's node, moved out of the parser; the whole text must be read.
inline std::unique_ptr<XmlNode> ParseStanza(const std::string& stanza)
{
    struct Keep {
        static void Take(XmlNode* node, void* self)
        {
            auto* kept = static_cast<std::unique_ptr<XmlNode>*>(self);
            *kept = std::make_unique<XmlNode>(node->name);
            (*kept)->attributes = node->attributes;
            (*kept)->hasText = node->hasText;
            (*kept)->text = node->text;
            for (auto& child : node->children)
                (*kept)->children.push_back(std::move(child));
            node->children.clear();
        }
    };
    std::unique_ptr<XmlNode> kept;
    XmlParser parser;
    parser.SetCallback(2, 1, &Keep::Take, &kept);
    std::string stream = "<stream:stream>" + stanza;
    EXPECT_EQ(parser.ParseChunk(stream.data(), static_cast<int>(stream.size())), static_cast<int>(stream.size()));
    return kept;
}
