#include <gtest/gtest.h>
#include "calc/pipeline.h"
TEST(Smoke, Builds) { SUCCEED(); }
