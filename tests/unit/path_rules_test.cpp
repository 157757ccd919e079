#include "platform/path_rules.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CommandLineTail, DropsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(CommandLineTail(LR"("C:\Program Files\Q\KELVARON.EXE" C:\a.txt)"), LR"(C:\a.txt)");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE   C:\a.txt  C:\b.txt )"), LR"(C:\a.txt  C:\b.txt )");
    EXPECT_EQ(CommandLineTail(LR"("C:\x\KELVARON.EXE")"), L"");
    EXPECT_EQ(CommandLineTail(L"KELVARON.EXE"), L"");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE "C:\My Files\a.txt")"), LR"("C:\My Files\a.txt")");
}
