// The dialog's control captions in Chinese and in English: Chinese only when the system's
// default language is Chinese (PRC), English for every other.
#include "captions.h"

namespace {

constexpr Captions kChinese{L"开始",     L"取消",     L"另存为PLT文件", L"端口:",
                            L"尖角补偿", L"闭合补偿", L"状态:"};
constexpr Captions kEnglish{L"Start",        L"Cancel",  L"Save .PLT", L"Port:",
                            L"Knife Offset", L"Overcut", L"Status:"};

}  // namespace

const Captions& CaptionsFor(uint16_t langId) {
    return langId == kLangChinesePrc ? kChinese : kEnglish;
}
