// When the exported plot file counts as complete: above 10 bytes and no larger than at the
// last look; sizes beyond int32 stay at its top.
#include "plot_file_size_rule.h"

#include <limits>

namespace {

// Anything this short is taken as an export that has not really begun.
constexpr int32_t kMinimumPlotSize = 10;

}  // namespace

PlotFileLook LookAtPlotFileSize(std::optional<int32_t> size, int32_t& lastSize) {
    if (!size || *size <= kMinimumPlotSize) return PlotFileLook::NotReady;
    if (*size > lastSize) {
        lastSize = *size;
        return PlotFileLook::Growing;
    }
    // Equal or smaller, also after the file was gone for a while: the writer
    // has stopped.
    return PlotFileLook::Complete;
}

int32_t PlotFileSizeFromParts(uint32_t high, uint32_t low) {
    const uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
    constexpr auto kTop = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(size < kTop ? size : kTop);
}
