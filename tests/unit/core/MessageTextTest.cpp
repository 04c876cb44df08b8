// Placeholder replacement in configured messages.
#include <gtest/gtest.h>

#include <string>

#include "MessageText.h"

TEST(ReplaceFirstPlaceholder, ReplacesOnlyTheFirstOccurrence) {
    char out[64];
    ReplaceFirstPlaceholder(out, sizeof out, "code %ERROR_CODE% again %ERROR_CODE%.", "%ERROR_CODE%", "7");
    EXPECT_STREQ(out, "code 7 again %ERROR_CODE%.");
    ReplaceFirstPlaceholder(out, sizeof out, "no placeholder", "%FILE_NAME%", "x");
    EXPECT_STREQ(out, "no placeholder");
    ReplaceFirstPlaceholder(out, sizeof out, "%ENV_VAR_NAME% first", "%ENV_VAR_NAME%", "JAVA_HOME");
    EXPECT_STREQ(out, "JAVA_HOME first");
    ReplaceFirstPlaceholder(out, sizeof out, "keep %X%", nullptr, "ignored");
    EXPECT_STREQ(out, "keep %X%");
    ReplaceFirstPlaceholder(out, sizeof out, "", "%X%", "y");
    EXPECT_STREQ(out, "");
}

TEST(ReplaceFirstPlaceholder, CutsALongResultToTheBuffer) {
    char out[16];
    ReplaceFirstPlaceholder(out, sizeof out, "ab%P%cd", "%P%", "0123456789ABCDEFGH");
    EXPECT_EQ(std::string(out), "ab0123456789ABC");
}
