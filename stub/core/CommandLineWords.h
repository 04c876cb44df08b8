// CommandLineWords.h — a program's command line cut into its words by the
// Windows rules, those of the C runtime's argv (and so of what java.exe hands
// to main), and the leading words the launcher takes for itself. UTF-16
// text; no Win32 calls.
#pragma once

#include <cstddef>

#include "StringList.h"
#include "WideUnit.h"

// Appends the words of the full command line `commandLine` to `words`, the
// program name first. False when memory ran out.
//
// The program name runs to the first blank (space or tab) outside double
// quotes; its quotes are dropped and backslashes are ordinary characters.
// Each later word runs to the next blank outside double quotes:
// - a double quote opens or closes a quoted part and is dropped;
// - inside a quoted part, two double quotes in a row stand for one literal
//   double quote, and the part stays open;
// - backslashes are ordinary characters unless a double quote follows them:
//   then each pair stands for one backslash, and an odd one left over makes
//   the double quote a literal character;
// - "" alone is an empty word; a quoted part left open runs to the end.
bool SplitCommandLine(const WideUnit* commandLine, WideStringList& words);

// What the launcher took from the front of its command line.
struct LauncherWords {
    bool quiet = false;   // a word beginning with "-q"
    bool manual = false;  // the only word is "/manual" or "-manual"
    // Index in the command-line words of the first word for the application;
    // every word from there on goes to it unchanged.
    size_t firstApplicationWord = 1;
};

// The launcher's own words behind the program name (`words` as
// SplitCommandLine gives them): either the one word "/manual" or "-manual",
// or a leading run of quiet switches and, when `vmOptionsAllowed`, "-J"
// words in any order. Each "-J" word's text behind the prefix is appended to
// `vmOptions` (a bare "-J" adds nothing). False when memory ran out.
bool TakeLauncherWords(const WideStringList& words, bool vmOptionsAllowed, LauncherWords& taken,
                       WideStringList& vmOptions);
