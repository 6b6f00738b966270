// Feeds a parser as the account does (a buffer the consumed bytes are taken
// from) and records what its callbacks saw, each stanza written back out, so
// that two ways of cutting one stream can be compared.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xml/XmlBuilder.h"
#include "xml/XmlParser.h"

class CStreamRecorder {
public:
    CStreamRecorder() { Attach(); }

    void Attach()
    {
        parser.SetCallback(1, 0, &Opened1, this);
        parser.SetCallback(1, 1, &Closed1, this);
        parser.SetCallback(2, 0, &Opened2, this);
        parser.SetCallback(2, 1, &Closed2, this);
        parser.SetSkipCallback(&Skipped, this);
    }

    // Adds the bytes to what is pending and parses; false on a stream error.
    bool Feed(const std::string& bytes)
    {
        pending += bytes;
        int consumed = parser.ParseChunk(pending.data(), static_cast<int>(pending.size()));
        if (consumed < 0)
            return false;
        pending.erase(0, static_cast<size_t>(consumed));
        return true;
    }

    // The stream in pieces of `step` bytes (the last may be shorter).
    bool FeedInSteps(const std::string& stream, size_t step)
    {
        for (size_t at = 0; at < stream.size(); at += step) {
            if (!Feed(stream.substr(at, step)))
                return false;
        }
        return true;
    }

    // The skipped stanzas only ("skipped ..." events): what the callback was told.
    std::vector<std::string> Skipped() const
    {
        std::vector<std::string> skipped;
        for (const std::string& event : events) {
            if (event.rfind("skipped ", 0) == 0)
                skipped.push_back(event.substr(8));
        }
        return skipped;
    }

    // The stanzas only ("close2 ..." events), written back out.
    std::vector<std::string> Stanzas() const
    {
        std::vector<std::string> stanzas;
        for (const std::string& event : events) {
            if (event.rfind("close2 ", 0) == 0)
                stanzas.push_back(event.substr(7));
        }
        return stanzas;
    }

    XmlParser parser;
    std::string pending;
    std::vector<std::string> events;

private:
    static std::string Attributes(const XmlNode* node)
    {
        XmlNode copy(node->name);
        for (const XmlAttribute& attribute : node->attributes)
            copy.AddAttribute(attribute.name.c_str(), attribute.value);
        copy.openTagOnly = true;
        return ToString(&copy);
    }
    static void Opened1(XmlNode* node, void* self)
    {
        static_cast<CStreamRecorder*>(self)->events.push_back("open1 " + Attributes(node));
    }
    static void Closed1(XmlNode* node, void* self)
    {
        static_cast<CStreamRecorder*>(self)->events.push_back("close1 " + node->name);
    }
    static void Opened2(XmlNode* node, void* self)
    {
        static_cast<CStreamRecorder*>(self)->events.push_back("open2 " + Attributes(node));
    }
    static void Closed2(XmlNode* node, void* self)
    {
        static_cast<CStreamRecorder*>(self)->events.push_back("close2 " + ToString(node));
    }
    static void Skipped(XmlNode* node, void* self)
    {
        static_cast<CStreamRecorder*>(self)->events.push_back("skipped " + ToString(node));
    }
};

// A recording kept beside the tests (testdata\xmpp\NAME).
inline std::string ReadRecording(const char* name)
{
    std::ifstream file(std::string("testdata\\xmpp\\") + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
