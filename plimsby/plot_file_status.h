#pragma once
#include <cstdint>
#include <optional>

// The size of a file, found by its name alone: the file is never opened, so an
// exporter that is still writing it with exclusive access is not disturbed.
// Empty when the file or its folder does not exist.
std::optional<int32_t> QueryPlotFileSize(const wchar_t* path);
