// ArgumentSplitting.h — the one tokenizer of the VM start: cuts a text into
// words at spaces, with whole-word quoting by double or single quotes, and
// optionally takes only the leading words that carry a prefix. No Win32 calls.
#pragma once

#include "StringList.h"

enum class SplitStatus { Done, UnterminatedQuote, OutOfMemory };

struct SplitResult {
    // Where the scan stopped: the end of the text without a prefix; with a
    // prefix, the start of the first word that does not carry it.
    const char* stop;
    SplitStatus status;
};

// Appends the words of `text` to `words`. With a non-empty `prefix`, only
// leading words that begin with it are taken, the prefix removed; a second
// space in a row ends that scan as well.
//
// Only the space separates words; a word that begins with '"' or '\'' runs
// to the next occurrence of the same quote, both quotes dropped. A quote
// that stands inside a word (as in -Dx="a b") does not end the word: the
// word runs on to the next space outside that quoted part, quotes kept, and
// a quote without a partner is an ordinary character there.
SplitResult SplitArguments(const char* text, const char* prefix, StringList& words);
