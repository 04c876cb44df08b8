// CommandLineWords.cpp — the Windows command-line rules and the launcher's
// leading words.
#include "CommandLineWords.h"

#include <cstdlib>

namespace {

bool IsBlank(WideUnit c) { return c == ' ' || c == '\t'; }

// The word being cut, written into a scratch buffer as long as the whole
// command line: no word is longer than the text it comes from.
struct WordBuffer {
    WideUnit* units;
    size_t length;
    void Add(WideUnit c) { units[length++] = c; }
    void Add(WideUnit c, size_t count) {
        while (count-- > 0) Add(c);
    }
};

const WideUnit* TakeProgramName(const WideUnit* p, WordBuffer& word) {
    bool quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else
            word.Add(*p);
    }
    return p;
}

// Backslashes at `p`: before a double quote, one for each pair, and an odd
// one escapes the quote; elsewhere all of them. Returns where the caller
// goes on (at a quote that still opens or closes a quoted part).
const WideUnit* TakeBackslashes(const WideUnit* p, WordBuffer& word) {
    size_t count = 0;
    while (p[count] == '\\') ++count;
    p += count;
    if (*p != '"') {
        word.Add('\\', count);
        return p;
    }
    word.Add('\\', count / 2);
    if (count % 2 == 0) return p;
    word.Add('"');
    return p + 1;
}

const WideUnit* TakeArgument(const WideUnit* p, WordBuffer& word) {
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        if (*p == '\\') {
            p = TakeBackslashes(p, word);
        } else if (*p != '"') {
            word.Add(*p++);
        } else if (quoted && p[1] == '"') {
            word.Add('"');
            p += 2;
        } else {
            quoted = !quoted;
            ++p;
        }
    }
    return p;
}

const WideUnit* SkipBlanks(const WideUnit* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// The length of `prefix` when `text` begins with it, else 0.
size_t PrefixLength(const WideUnit* text, const char* prefix) {
    size_t length = 0;
    for (; prefix[length]; ++length)
        if (text[length] != WideUnit(prefix[length])) return 0;
    return length;
}

bool Equals(const WideUnit* text, const char* other) {
    size_t length = PrefixLength(text, other);
    return length > 0 && text[length] == 0;
}

}  // namespace

bool SplitCommandLine(const WideUnit* commandLine, WideStringList& words) {
    size_t length = 0;
    while (commandLine[length]) ++length;
    WordBuffer word = {static_cast<WideUnit*>(malloc((length + 1) * sizeof(WideUnit))), 0};
    if (!word.units) return false;
    const WideUnit* p = TakeProgramName(SkipBlanks(commandLine), word);
    bool stored = words.Append(word.units, word.length);
    for (p = SkipBlanks(p); stored && *p; p = SkipBlanks(p)) {
        word.length = 0;
        p = TakeArgument(p, word);
        stored = words.Append(word.units, word.length);
    }
    free(word.units);
    return stored;
}

bool TakeLauncherWords(const WideStringList& words, bool vmOptionsAllowed, LauncherWords& taken,
                       WideStringList& vmOptions) {
    taken = LauncherWords();
    size_t next = 1;
    if (words.Count() == 2 && (Equals(words.At(1), "/manual") || Equals(words.At(1), "-manual"))) {
        taken.manual = true;
        ++next;
    }
    for (; next < words.Count(); ++next) {
        const WideUnit* word = words.At(next);
        size_t prefix = 0;
        if (PrefixLength(word, "-q")) {
            taken.quiet = true;
        } else if (vmOptionsAllowed && (prefix = PrefixLength(word, "-J")) != 0) {
            if (word[prefix] && !vmOptions.Append(word + prefix)) return false;
        } else {
            break;
        }
    }
    taken.firstApplicationWord = next;
    return true;
}
