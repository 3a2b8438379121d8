// File dialog filters: every '|' becomes a terminating zero and the list ends with an extra one.
#include <gtest/gtest.h>

#include "framework/file_dialog.h"

using namespace std::string_literals;

TEST(FileDialogFilter, BarsBecomeTerminatorsAndTheListEndsTwice) {
    EXPECT_EQ(framework::TranslateFilter(L"PLT Files(*.plt)|*.plt|"),
              L"PLT Files(*.plt)\0*.plt\0\0"s);
    EXPECT_EQ(framework::TranslateFilter(L"A|*.a|B|*.b|"), L"A\0*.a\0B\0*.b\0\0"s);
}
