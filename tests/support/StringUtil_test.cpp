// Tests of the integer conversion and string helpers.
#include "support/StringUtil.h"

#include <gtest/gtest.h>

TEST(StringUtil, StringToIntSmoke)
{
    int v = 0;
    stringToInt(v, "0x1F");
    EXPECT_EQ(31, v);
}
