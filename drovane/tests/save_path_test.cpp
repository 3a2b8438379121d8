// When Save .PLT appends ".PLT" to the chosen path, and that a .plt ending of any case is kept.
#include "save_path.h"

#include <gtest/gtest.h>

TEST(SavePath, GetsThePlotExtensionWhenItHasNone) {
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut"), L"C:\\work\\cut.PLT");
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut.txt"), L"C:\\work\\cut.txt.PLT");
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut.pl"), L"C:\\work\\cut.pl.PLT");
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cutplt"), L"C:\\work\\cutplt.PLT");
}

TEST(SavePath, KeepsAPlotExtensionInAnyCase) {
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut.plt"), L"C:\\work\\cut.plt");
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut.PLT"), L"C:\\work\\cut.PLT");
    EXPECT_EQ(WithPlotExtension(L"C:\\work\\cut.pLt"), L"C:\\work\\cut.pLt");
    EXPECT_EQ(WithPlotExtension(L"C:\\图纸\\切割.plt"), L"C:\\图纸\\切割.plt");
}

TEST(SavePath, ShortPathsCompareAsAWhole) {
    EXPECT_EQ(WithPlotExtension(L""), L".PLT");
    EXPECT_EQ(WithPlotExtension(L"a"), L"a.PLT");
    EXPECT_EQ(WithPlotExtension(L".plt"), L".plt");
}
