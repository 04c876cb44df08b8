// ArgumentSplitting.h — the word grammar of configured argument texts (the
// VM options and default arguments of the configuration): words at spaces,
// with whole-word quoting by double or single quotes. The launcher's own
// command line follows the Windows rules instead (CommandLineWords.h).
// No Win32 calls.
#pragma once

#include "StringList.h"

enum class SplitStatus { Done, UnterminatedQuote, OutOfMemory };

// Appends the words of `text` to `words`.
//
// Only the space separates words; a word that begins with '"' or '\'' runs
// to the next occurrence of the same quote, both quotes dropped. A quote
// that stands inside a word (as in -Dx="a b") does not end the word: the
// word runs on to the next space outside that quoted part, quotes kept, and
// a quote without a partner is an ordinary character there.
SplitStatus SplitArguments(const char* text, StringList& words);
