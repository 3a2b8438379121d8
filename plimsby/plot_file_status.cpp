// The plot file's size by its name alone, never opening it, so that an exporter still writing
// it with exclusive access is not disturbed.
#include "plot_file_status.h"

#include <windows.h>

#include "plot_file_size_rule.h"

std::optional<int32_t> QueryPlotFileSize(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA status{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &status)) return std::nullopt;
    return PlotFileSizeFromParts(status.nFileSizeHigh, status.nFileSizeLow);
}
