// jov_fuzz_wine <target> [options] <corpus folder>...   fuzzes
// jov_fuzz_wine <target> [options] --run <file>          runs one input again
// Options: --seconds N, --seed N, --dict FILE, --findings FOLDER,
// --reproduce TEXT (the command a finding's .cmd file holds before its
// name), --timeout-ms N, --rss-mb N, --malloc-mb N. Targets: chat, accounts.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "fuzz/wine/FuzzTargets.h"

namespace {

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text < 0x80 ? *text : '?');
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: jov_fuzz_wine <chat|accounts> [options] <corpus folder>... | --run <file>\n");
        return 2;
    }
    const MutationTarget* target = nullptr;
    for (const MutationTarget* known : {&kChatTextTarget, &kAccountsDataTarget}) {
        if (Narrow(argv[1]) == known->name)
            target = known;
    }
    if (!target) {
        std::fprintf(stderr, "unknown target %s\n", Narrow(argv[1]).c_str());
        return 2;
    }
    MutationOptions options;
    options.findings = L".";
    std::wstring single;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--seconds" && hasValue)
            options.seconds = std::wcstod(argv[++i], nullptr);
        else if (arg == L"--seed" && hasValue)
            options.seed = static_cast<unsigned int>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--dict" && hasValue)
            options.dictionary = argv[++i];
        else if (arg == L"--findings" && hasValue)
            options.findings = argv[++i];
        else if (arg == L"--reproduce" && hasValue)
            options.reproduce = argv[++i];
        else if (arg == L"--timeout-ms" && hasValue)
            options.timeoutMs = static_cast<unsigned int>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--rss-mb" && hasValue)
            options.rssLimitMb = std::wcstoul(argv[++i], nullptr, 10);
        else if (arg == L"--malloc-mb" && hasValue)
            options.mallocLimitMb = std::wcstoul(argv[++i], nullptr, 10);
        else if (arg == L"--run" && hasValue)
            single = argv[++i];
        else
            options.corpus.push_back(arg);
    }
    if (!single.empty()) {
        if (!RunOneInput(*target, single, options)) {
            std::fprintf(stderr, "cannot read %s\n", Narrow(single.c_str()).c_str());
            return 2;
        }
        std::printf("%s: the input ran without a finding\n", target->name);
        return 0;
    }
    const MutationStats stats = RunMutationFuzzer(*target, options);
    std::printf("%s: %llu runs in %.0f s (%.0f exec/s), corpus %zu inputs, no finding\n", target->name, stats.runs,
                stats.seconds, stats.seconds > 0 ? static_cast<double>(stats.runs) / stats.seconds : 0.0,
                stats.corpusSize);
    return 0;
}
