// Splitting argument texts into words: spaces, whole-word quotes, quotes
// inside a word, and the prefix mode that takes only leading "-J" words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArgumentSplitting.h"

namespace {

struct Split {
    std::vector<std::string> words;
    std::string rest;
    SplitStatus status;
};

Split SplitText(const char* text, const char* prefix = nullptr) {
    StringList list;
    SplitResult result = SplitArguments(text, prefix, list);
    Split split{{}, result.stop, result.status};
    for (size_t i = 0; i < list.Count(); ++i) split.words.push_back(list.At(i));
    return split;
}

using Words = std::vector<std::string>;

TEST(SplitArguments, SpacesSeparateWordsAndOnlySpaces) {
    EXPECT_EQ(SplitText("-Dsun.java2d.noddraw=true -Duser.language=en").words,
              (Words{"-Dsun.java2d.noddraw=true", "-Duser.language=en"}));
    EXPECT_EQ(SplitText("  a   b  ").words, (Words{"a", "b"}));
    EXPECT_EQ(SplitText("a\tb c\\d").words, (Words{"a\tb", "c\\d"}));
    EXPECT_EQ(SplitText("").words, Words{});
    EXPECT_EQ(SplitText("    ").words, Words{});
    Split whole = SplitText("x y");
    EXPECT_EQ(whole.rest, "");
    EXPECT_EQ(whole.status, SplitStatus::Done);
}

TEST(SplitArguments, QuotedWords) {
    EXPECT_EQ(SplitText("\"a b 'c\" d").words, (Words{"a b 'c", "d"}));
    EXPECT_EQ(SplitText("'say \"hi\"' x").words, (Words{"say \"hi\"", "x"}));
    EXPECT_EQ(SplitText("\"\" ''").words, (Words{"", ""}));
    // A quoted part directly followed by letters gives two words.
    EXPECT_EQ(SplitText("\"ab\"cd e").words, (Words{"ab", "cd", "e"}));
    EXPECT_EQ(SplitText("a \"b c\"").words, (Words{"a", "b c"}));
}

TEST(SplitArguments, QuoteInsideAWordKeepsTheWordWhole) {
    EXPECT_EQ(SplitText("-Dx=\"a b\" -Dy=1").words, (Words{"-Dx=\"a b\"", "-Dy=1"}));
    EXPECT_EQ(SplitText("-Dp='c:\\my dir'").words, (Words{"-Dp='c:\\my dir'"}));
    // A quote without a partner is an ordinary character inside a word.
    EXPECT_EQ(SplitText("it's fine").words, (Words{"it's", "fine"}));
    EXPECT_EQ(SplitText("a\"b").words, (Words{"a\"b"}));
    EXPECT_EQ(SplitText("x\"1\"y\"2 3\" z").words, (Words{"x\"1\"y\"2 3\"", "z"}));
}

TEST(SplitArguments, UnterminatedQuoteIsReported) {
    EXPECT_EQ(SplitText("a \"never closed").status, SplitStatus::UnterminatedQuote);
    EXPECT_EQ(SplitText("'x").status, SplitStatus::UnterminatedQuote);
    EXPECT_EQ(SplitText("-J\"x", "-J").status, SplitStatus::UnterminatedQuote);
}

TEST(SplitArguments, PrefixModeTakesLeadingPrefixedWordsOnly) {
    Split split = SplitText("-J-Xmx64m -J-Dx=1 app -J-Dy=2", "-J");
    EXPECT_EQ(split.words, (Words{"-Xmx64m", "-Dx=1"}));
    EXPECT_EQ(split.rest, "app -J-Dy=2");

    split = SplitText("plain -J-Xmx1m", "-J");
    EXPECT_EQ(split.words, Words{});
    EXPECT_EQ(split.rest, "plain -J-Xmx1m");

    split = SplitText("-q -J-Xmx1m", "-J");
    EXPECT_EQ(split.words, Words{});
    EXPECT_EQ(split.rest, "-q -J-Xmx1m");
}

TEST(SplitArguments, PrefixModeQuotesSpacesAndTheEnd) {
    Split split = SplitText("-J\"-Dx=a b\" rest", "-J");
    EXPECT_EQ(split.words, Words{"-Dx=a b"});
    EXPECT_EQ(split.rest, "rest");
    // A lone prefix at the end is an empty word.
    split = SplitText("-J-Da -J", "-J");
    EXPECT_EQ(split.words, (Words{"-Da", ""}));
    EXPECT_EQ(split.rest, "");
    // A prefix followed by a space gives no word; the scan goes on only when
    // the next word carries the prefix too.
    EXPECT_EQ(SplitText("-J -J-Da x", "-J").words, Words{"-Da"});
    split = SplitText("-J x", "-J");
    EXPECT_EQ(split.words, Words{});
    EXPECT_EQ(split.rest, "x");
    // A second space in a row ends the scan; the rest begins with it.
    split = SplitText("-J-Da  -J-Db", "-J");
    EXPECT_EQ(split.words, Words{"-Da"});
    EXPECT_EQ(split.rest, " -J-Db");
}

}  // namespace
