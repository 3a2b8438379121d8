#pragma once
#include <cstdint>
#include <optional>

// What one look at the exported plot file's size says.
enum class PlotFileLook {
    NotReady,  // missing, or 10 bytes or less: keep waiting
    Growing,   // larger than any earlier look: the exporter is still writing
    Complete,  // above 10 bytes and no larger than before: hand it on
};

// Judges one look. size is empty when the file's status could not be read;
// lastSize is the largest size above 10 bytes seen so far (0 before any) and is
// raised here when the file has grown.
PlotFileLook LookAtPlotFileSize(std::optional<int32_t> size, int32_t& lastSize);

// The file size as the rule compares it. Sizes beyond the signed 32-bit range
// stay at its top instead of wrapping to small or negative values.
int32_t PlotFileSizeFromParts(uint32_t high, uint32_t low);
