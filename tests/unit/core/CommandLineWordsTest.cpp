// The launcher's command line: words by the Windows rules (those of the C
// runtime's argv), and the leading words the launcher takes for itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLineWords.h"

namespace {

using Wide = std::basic_string<WideUnit>;
using Words = std::vector<Wide>;

// A UTF-16 literal as the core's unit type (wchar_t on Windows).
Wide W(const char16_t* text) {
    Wide wide;
    for (; *text; ++text) wide.push_back(WideUnit(*text));
    return wide;
}

Words ListOf(const WideStringList& list, size_t from = 0) {
    Words words;
    for (size_t i = from; i < list.Count(); ++i) words.push_back(list.At(i));
    return words;
}

Words Split(const char16_t* commandLine) {
    WideStringList list;
    EXPECT_TRUE(SplitCommandLine(W(commandLine).c_str(), list));
    return ListOf(list);
}

TEST(SplitCommandLine, ProgramNameQuotedOrNotWithBackslashesAsTheyAre) {
    EXPECT_EQ(Split(u"\"C:\\my dir\\app.exe\" -q x"), (Words{W(u"C:\\my dir\\app.exe"), W(u"-q"), W(u"x")}));
    EXPECT_EQ(Split(u"app.exe\t  a b"), (Words{W(u"app.exe"), W(u"a"), W(u"b")}));
    EXPECT_EQ(Split(u"  \t app.exe -manual"), (Words{W(u"app.exe"), W(u"-manual")}));
    // Quotes in the name toggle, and a backslash escapes nothing there.
    EXPECT_EQ(Split(u"\"C:\\a\"\\b\\ c"), (Words{W(u"C:\\a\\b\\"), W(u"c")}));
    EXPECT_EQ(Split(u"\"C:\\a\"\\b\\\" c"), (Words{W(u"C:\\a\\b\\ c")}));
    EXPECT_EQ(Split(u"\"unterminated name"), (Words{W(u"unterminated name")}));
    EXPECT_EQ(Split(u"app.exe"), (Words{W(u"app.exe")}));
    EXPECT_EQ(Split(u""), (Words{W(u"")}));
}

// The examples of the C runtime's documentation, behind a program name.
TEST(SplitCommandLine, BackslashesCountOnlyBeforeAQuote) {
    EXPECT_EQ(Split(u"p \"a b c\" d e"), (Words{W(u"p"), W(u"a b c"), W(u"d"), W(u"e")}));
    EXPECT_EQ(Split(u"p \"ab\\\"c\" \"\\\\\" d"), (Words{W(u"p"), W(u"ab\"c"), W(u"\\"), W(u"d")}));
    EXPECT_EQ(Split(u"p a\\\\\\b d\"e f\"g h"), (Words{W(u"p"), W(u"a\\\\\\b"), W(u"de fg"), W(u"h")}));
    EXPECT_EQ(Split(u"p a\\\\\\\"b c d"), (Words{W(u"p"), W(u"a\\\"b"), W(u"c"), W(u"d")}));
    EXPECT_EQ(Split(u"p a\\\\\\\\\"b c\" d e"), (Words{W(u"p"), W(u"a\\\\b c"), W(u"d"), W(u"e")}));
    // A trailing backslash in a quoted path is doubled by every quoting tool.
    EXPECT_EQ(Split(u"p \"C:\\dir\\\\\" x"), (Words{W(u"p"), W(u"C:\\dir\\"), W(u"x")}));
    EXPECT_EQ(Split(u"p C:\\dir\\"), (Words{W(u"p"), W(u"C:\\dir\\")}));
}

TEST(SplitCommandLine, QuotesInsideAndAroundWords) {
    // As Wine and Windows shells write the arguments  say "hi"  and  it's.
    EXPECT_EQ(Split(u"p \"say \\\"hi\\\"\" it's"), (Words{W(u"p"), W(u"say \"hi\""), W(u"it's")}));
    // Two quotes inside a quoted part: one literal quote, the part stays open.
    EXPECT_EQ(Split(u"p \"a \"\"b\"\" c\" d"), (Words{W(u"p"), W(u"a \"b\" c"), W(u"d")}));
    EXPECT_EQ(Split(u"p a\"b\"\" c d"), (Words{W(u"p"), W(u"ab\" c d")}));
    // An empty quoted word, a quoted part inside a word, an open part at the end.
    EXPECT_EQ(Split(u"p \"\" -Dx=\"a b\"c \"open end"),
              (Words{W(u"p"), W(u""), W(u"-Dx=a bc"), W(u"open end")}));
    // Single quotes are ordinary characters.
    EXPECT_EQ(Split(u"p 'a b'"), (Words{W(u"p"), W(u"'a"), W(u"b'")}));
}

TEST(SplitCommandLine, BlanksAndEveryOtherCharacterKeptAsTheyAre) {
    EXPECT_EQ(Split(u"p \t a\t\tb   "), (Words{W(u"p"), W(u"a"), W(u"b")}));
    EXPECT_EQ(Split(u"p \"\ttab\" price\u20AC.txt \u03A9mega.txt \U0001F600"),
              (Words{W(u"p"), W(u"\ttab"), W(u"price\u20AC.txt"), W(u"\u03A9mega.txt"), W(u"\U0001F600")}));
    EXPECT_EQ(Split(u"p %PATH% ^& a=b;c"), (Words{W(u"p"), W(u"%PATH%"), W(u"^&"), W(u"a=b;c")}));
}

struct Taken {
    LauncherWords words;
    Words vmOptions;
    Words application;
};

Taken Take(const char16_t* commandLine, bool vmOptionsAllowed = true) {
    WideStringList words, vmOptions;
    EXPECT_TRUE(SplitCommandLine(W(commandLine).c_str(), words));
    Taken taken;
    EXPECT_TRUE(TakeLauncherWords(words, vmOptionsAllowed, taken.words, vmOptions));
    taken.vmOptions = ListOf(vmOptions);
    taken.application = ListOf(words, taken.words.firstApplicationWord);
    return taken;
}

TEST(TakeLauncherWords, QuietSwitchesAndVMOptionsInALeadingRunInEitherOrder) {
    Taken taken = Take(u"app.exe -q -J-Xmx64m \"-J-Dtitle=My App\" -q file -q -J-Dlate=1");
    EXPECT_TRUE(taken.words.quiet);
    EXPECT_FALSE(taken.words.manual);
    EXPECT_EQ(taken.vmOptions, (Words{W(u"-Xmx64m"), W(u"-Dtitle=My App")}));
    EXPECT_EQ(taken.application, (Words{W(u"file"), W(u"-q"), W(u"-J-Dlate=1")}));

    taken = Take(u"app.exe -J-Xint -quick x");
    EXPECT_TRUE(taken.words.quiet);  // any word beginning with -q
    EXPECT_EQ(taken.vmOptions, Words{W(u"-Xint")});
    EXPECT_EQ(taken.application, Words{W(u"x")});

    // A bare -J is taken and gives no option.
    taken = Take(u"app.exe -J -J-Da x");
    EXPECT_EQ(taken.vmOptions, Words{W(u"-Da")});
    EXPECT_EQ(taken.application, Words{W(u"x")});
}

TEST(TakeLauncherWords, WithoutVMOptionsAJWordIsTheApplications) {
    Taken taken = Take(u"app.exe -q -J-Xint -q", false);
    EXPECT_TRUE(taken.words.quiet);
    EXPECT_EQ(taken.vmOptions, Words{});
    EXPECT_EQ(taken.application, (Words{W(u"-J-Xint"), W(u"-q")}));
}

TEST(TakeLauncherWords, ThePlainWordAheadEndsTheRun) {
    Taken taken = Take(u"app.exe file -q -J-Xint");
    EXPECT_FALSE(taken.words.quiet);
    EXPECT_EQ(taken.vmOptions, Words{});
    EXPECT_EQ(taken.application, (Words{W(u"file"), W(u"-q"), W(u"-J-Xint")}));
    EXPECT_EQ(Take(u"app.exe").application, Words{});
    EXPECT_EQ(Take(u"app.exe \"\" -q").application, (Words{W(u""), W(u"-q")}));
}

TEST(TakeLauncherWords, ManualOnlyAsTheOneWord) {
    for (const char16_t* line : {u"app.exe /manual", u"app.exe -manual", u"app.exe \"/manual\""}) {
        Taken taken = Take(line);
        EXPECT_TRUE(taken.words.manual);
        EXPECT_EQ(taken.application, Words{});
    }
    for (const char16_t* line : {u"app.exe /manual x", u"app.exe /MANUAL", u"app.exe -q -manual"}) {
        Taken taken = Take(line);
        EXPECT_FALSE(taken.words.manual);
        EXPECT_FALSE(taken.application.empty());
    }
}

}  // namespace
