// A disabled test must never run: `make test` runs CTest, which would
// otherwise run helpers kept disabled on purpose (such as writers of
// committed files).
#include <gtest/gtest.h>

TEST(CTest, DISABLED_IsNeverRun) { FAIL() << "CTest ran a disabled test"; }
