// Mutation fuzzing inside the Windows build, for the readers that cannot be
// built natively: the same corpus and dictionaries as the libFuzzer targets
// and the same limits (a time per input, a resident size, a largest single
// allocation), without coverage or sanitizers. Each input is a corpus file
// changed by a few random edits: bit flips, interesting bytes, inserted and
// erased runs, dictionary words, and pieces of other corpus files.
//
// A finding (a crash, an input past the time, the memory or the allocation
// limit) is written to the findings folder as <kind>-<hash>, with
// <kind>-<hash>.cmd holding the command that runs it again, and ends the run.
// Runs on the thread that calls Run; a watchdog thread enforces the time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

typedef std::vector<unsigned char> FuzzBytes;

struct MutationTarget {
    const char* name;
    // Called once before the first input (windows, folders).
    void (*setUp)();
    void (*run)(const unsigned char* data, size_t size);
};

struct MutationOptions {
    std::vector<std::wstring> corpus;  // folders of inputs, read at the start
    std::wstring dictionary;           // libFuzzer's format: name="value" a line
    std::wstring findings;             // folder for findings
    std::wstring reproduce;            // the command that runs a finding, before its path
    double seconds = 60;
    unsigned int seed = 1;
    unsigned int timeoutMs = 2000;
    size_t rssLimitMb = 512;
    size_t mallocLimitMb = 256;
};

struct MutationStats {
    unsigned long long runs = 0;
    double seconds = 0;
    size_t corpusSize = 0;
};

// Runs every corpus input once, then mutated inputs until the time is up or
// a finding ends the run.
MutationStats RunMutationFuzzer(const MutationTarget& target, const MutationOptions& options);
// Runs one input (a finding again); false when the file cannot be read.
bool RunOneInput(const MutationTarget& target, const std::wstring& path, const MutationOptions& options);

// The dictionary words of a libFuzzer dictionary text.
std::vector<FuzzBytes> ParseDictionary(const std::string& text);
