// Fuzz target: the two word grammars. The input's bytes up to the first NUL
// are a configured argument text; the whole input read as UTF-16 units is a
// command line. Configured words are made of the text's own characters; the
// command line's words, quoted again by the Windows rules, split into the
// same words; the launcher's leading words are only quiet switches, -J
// words or the manual switch.
#include <cstdint>
#include <cstring>
#include <string>

#include "ArgumentSplitting.h"
#include "CommandLineWords.h"
#include "FuzzCheck.h"
#include "KeptAllocations.h"

namespace {

using WideText = std::basic_string<WideUnit>;

void CheckConfiguredText(const std::string& text) {
    bool inText[256] = {};
    for (unsigned char c : text) inText[c] = true;
    StringList words;
    KeptAllocations kept;
    SplitStatus status = SplitArguments(text.c_str(), words);
    kept.StopRecording();
    FUZZ_CHECK(status == SplitStatus::Done || status == SplitStatus::UnterminatedQuote);
    size_t total = 0;
    for (size_t i = 0; i < words.Count(); ++i)
        for (const char* c = words.At(i); *c; ++c, ++total) FUZZ_CHECK(inText[static_cast<unsigned char>(*c)]);
    FUZZ_CHECK(total <= text.size());
}

// `word` as one argument of a command line: quoted, with each run of
// backslashes before a quote (or the closing quote) doubled and each quote
// escaped.
void AppendQuoted(const WideUnit* word, WideText& line) {
    line += u' ';
    line += u'"';
    size_t backslashes = 0;
    for (; *word; ++word) {
        if (*word == u'\\') {
            ++backslashes;
            continue;
        }
        line.append(*word == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        line += *word;
        backslashes = 0;
    }
    line.append(2 * backslashes, u'\\');
    line += u'"';
}

bool IsLauncherWord(const WideUnit* word) {
    return word[0] == u'-' && (word[1] == u'q' || word[1] == u'J');
}

void CheckLauncherWords(const WideStringList& words, bool vmOptionsAllowed) {
    LauncherWords taken;
    WideStringList vmOptions;
    FUZZ_CHECK(TakeLauncherWords(words, vmOptionsAllowed, taken, vmOptions));
    FUZZ_CHECK(taken.firstApplicationWord >= 1 && taken.firstApplicationWord <= words.Count());
    if (taken.manual) {
        FUZZ_CHECK(words.Count() == 2 && taken.firstApplicationWord == 2 && !taken.quiet);
        return;
    }
    size_t jWords = 0;
    for (size_t i = 1; i < taken.firstApplicationWord; ++i) {
        FUZZ_CHECK(IsLauncherWord(words.At(i)));
        if (words.At(i)[1] == u'J') ++jWords;
    }
    FUZZ_CHECK(vmOptions.Count() <= jWords && (vmOptionsAllowed || jWords == 0));
    if (taken.firstApplicationWord < words.Count()) {
        const WideUnit* next = words.At(taken.firstApplicationWord);
        FUZZ_CHECK(!IsLauncherWord(next) || (next[1] == u'J' && !vmOptionsAllowed));
    }
}

void CheckCommandLine(const WideText& line, bool vmOptionsAllowed) {
    WideStringList words;
    KeptAllocations kept;
    FUZZ_CHECK(SplitCommandLine(line.c_str(), words));
    FUZZ_CHECK(words.Count() >= 1);
    size_t total = 0;
    WideText quoted = u"\"";
    for (const WideUnit* c = words.At(0); *c; ++c, ++total) {
        FUZZ_CHECK(*c != u'"');
        quoted += *c;
    }
    quoted += u'"';
    for (size_t i = 1; i < words.Count(); ++i) {
        total += std::char_traits<WideUnit>::length(words.At(i));
        AppendQuoted(words.At(i), quoted);
    }
    FUZZ_CHECK(total <= line.size());
    WideStringList again;
    FUZZ_CHECK(SplitCommandLine(quoted.c_str(), again));
    FUZZ_CHECK(again.Count() == words.Count());
    for (size_t i = 0; i < words.Count(); ++i)
        FUZZ_CHECK(std::char_traits<WideUnit>::compare(again.At(i), words.At(i),
                                                       std::char_traits<WideUnit>::length(words.At(i)) + 1) == 0);
    CheckLauncherWords(words, vmOptionsAllowed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckConfiguredText(bytes.c_str());
    WideText line(size / 2, 0);
    memcpy(&line[0], data, line.size() * sizeof(WideUnit));
    line = line.c_str();
    CheckCommandLine(line, size > 0 && (data[0] & 1));
    return 0;
}
