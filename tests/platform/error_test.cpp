#include "platform/error.h"

#include <gtest/gtest.h>

namespace corvalo {
namespace {

TEST(ErrorReportText, PeriodRule) {
    EXPECT_EQ(errorReportText("Floating point overflow"), "Floating point overflow.");
    EXPECT_EQ(errorReportText("Done."), "Done.");
    EXPECT_EQ(errorReportText("Line one\r\n"), "Line one\r\n");  // ends below '.'
    EXPECT_EQ(errorReportText("Odd-"), "Odd-");                  // '-' sits below '.'
    EXPECT_EQ(errorReportText("Asked?"), "Asked?.");
    EXPECT_EQ(errorReportText(""), ".");
}

}  // namespace
}  // namespace corvalo
