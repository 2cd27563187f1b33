#include "platform/error.h"

#include <gtest/gtest.h>

namespace corvalo {
namespace {

TEST(ErrorReportText, PeriodRule) {
    EXPECT_EQ(ErrorReportText("Floating point overflow"), "Floating point overflow.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Line one\r\n"), "Line one\r\n");  // ends below '.'
    EXPECT_EQ(ErrorReportText("Odd-"), "Odd-");               // '-' sits below '.'
    EXPECT_EQ(ErrorReportText("Asked?"), "Asked?.");
    EXPECT_EQ(ErrorReportText(""), ".");
}

}  // namespace
}  // namespace corvalo
