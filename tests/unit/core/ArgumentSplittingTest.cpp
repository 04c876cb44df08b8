// Splitting configured argument texts into words: spaces, whole-word quotes,
// quotes inside a word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArgumentSplitting.h"

namespace {

struct Split {
    std::vector<std::string> words;
    SplitStatus status;
};

Split SplitText(const char* text) {
    StringList list;
    Split split{{}, SplitArguments(text, list)};
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
    EXPECT_EQ(SplitText("x y").status, SplitStatus::Done);
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
}

}  // namespace
