#include <gtest/gtest.h>
#include "expr/node.h"
TEST(Placeholder, Builds) { EXPECT_EQ(toText(IdentNode("a")), "a"); }
