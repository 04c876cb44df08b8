// ArgumentSplitting.cpp — splitting argument texts into words.
#include "ArgumentSplitting.h"

#include <cstring>

namespace {

struct Cursor {
    const char* position;
    SplitStatus status;
};

Cursor AppendWord(StringList& words, const char* start, const char* end, const char* next) {
    if (!words.Append(start, size_t(end - start))) return {next, SplitStatus::OutOfMemory};
    return {next, SplitStatus::Done};
}

// A word that begins with `quote`: the text up to the next same quote,
// without both; the scan goes on behind the closing quote and one space.
Cursor TakeQuotedToken(StringList& words, const char* quote) {
    const char* close = strchr(quote + 1, *quote);
    if (!close) return {quote, SplitStatus::UnterminatedQuote};
    const char* next = close + 1;
    if (*next == ' ') ++next;
    return AppendWord(words, quote + 1, close, next);
}

// A word with a quote after its first character: it runs to the next space
// that is not between that quote and its partner, quotes kept.
Cursor TakeWordWithInnerQuotes(StringList& words, const char* start) {
    const char* end = start;
    while (*end && *end != ' ') {
        const char* close = (*end == '"' || *end == '\'') ? strchr(end + 1, *end) : nullptr;
        end = close ? close + 1 : end + 1;
    }
    return AppendWord(words, start, end, *end == ' ' ? end + 1 : end);
}

}  // namespace

SplitStatus SplitArguments(const char* text, StringList& words) {
    Cursor cursor = {text, SplitStatus::Done};
    while (cursor.status == SplitStatus::Done && *cursor.position) {
        const char* p = cursor.position;
        if (*p == ' ') {
            cursor.position = p + 1;
            continue;
        }
        // The word's plain part reaches to the first space or quote; only
        // a quote changes how the word is read.
        const char* stop = p + strcspn(p, " \"'");
        if (*stop == ' ')
            cursor = AppendWord(words, p, stop, stop + 1);
        else if (*stop == '\0')
            cursor = AppendWord(words, p, stop, stop);
        else if (stop == p)
            cursor = TakeQuotedToken(words, p);
        else
            cursor = TakeWordWithInnerQuotes(words, p);
    }
    return cursor.status;
}
