#pragma once
#include <cstdint>

// The control captions in the system's default language: Chinese (PRC) for
// language id 2052, English for every other.
struct Captions {
    const wchar_t* start;
    const wchar_t* cancel;
    const wchar_t* savePlt;
    const wchar_t* port;
    const wchar_t* knifeOffset;
    const wchar_t* overcut;
    const wchar_t* status;
};

constexpr uint16_t kLangChinesePrc = 2052;

const Captions& CaptionsFor(uint16_t langId);
