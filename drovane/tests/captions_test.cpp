// Chinese captions only for the system language Chinese (PRC); every other language, other
// Chinese variants included, gets the English ones.
#include "captions.h"

#include <gtest/gtest.h>

#include <string>

TEST(Captions, ChineseOnlyForTheSystemLanguageChinesePrc) {
    const Captions& chinese = CaptionsFor(2052);
    EXPECT_EQ(std::wstring(chinese.start), L"开始");
    EXPECT_EQ(std::wstring(chinese.cancel), L"取消");
    EXPECT_EQ(std::wstring(chinese.savePlt), L"另存为PLT文件");
    EXPECT_EQ(std::wstring(chinese.status), L"状态:");

    // Other Chinese variants (Taiwan 1028, Hong Kong 3076) and everything else: English.
    for (uint16_t langId : {1033, 1028, 3076, 2057, 0}) {
        const Captions& english = CaptionsFor(langId);
        EXPECT_EQ(std::wstring(english.start), L"Start") << langId;
        EXPECT_EQ(std::wstring(english.cancel), L"Cancel") << langId;
        EXPECT_EQ(std::wstring(english.savePlt), L"Save .PLT") << langId;
        EXPECT_EQ(std::wstring(english.port), L"Port:") << langId;
        EXPECT_EQ(std::wstring(english.knifeOffset), L"Knife Offset") << langId;
        EXPECT_EQ(std::wstring(english.overcut), L"Overcut") << langId;
        EXPECT_EQ(std::wstring(english.status), L"Status:") << langId;
    }
}
