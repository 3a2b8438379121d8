// Paces reads to a serial line's rate, scheduled from one anchor per busy spell so that
// rounding never adds up and idle time earns no credit.
#include "line_pacer.h"

void LinePacer::Took(size_t n, Clock::time_point at) {
    // A busy line keeps its schedule from one anchor, so rounding errors of the
    // single pieces never add up; an idle line starts a new schedule.
    if (at > lineFreeAt_) {
        anchor_ = at;
        carriedSinceAnchor_ = 0;
    }
    carriedSinceAnchor_ += n;
    const auto busy = std::chrono::nanoseconds(
        static_cast<int64_t>(carriedSinceAnchor_ * 1000000000ull / bytesPerSecond_));
    lineFreeAt_ = anchor_ + std::chrono::duration_cast<Clock::duration>(busy);
}
