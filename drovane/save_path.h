#pragma once
#include <string>

// The path a plot file is saved under: ".PLT" is appended unless the path
// already ends in ".plt" in any mix of upper and lower case.
std::wstring WithPlotExtension(std::wstring path);
