// Drawings for the job tests: a grid of closed 5 mm squares in rows of 50, as an exporting
// program writes them.
#include "plot_samples.h"

namespace drovane {

std::string GridOfSquares(int count) {
    constexpr int kSide = 200;
    constexpr int kPitch = 300;
    constexpr int kPerRow = 50;
    std::string plot = "IN;";
    for (int i = 0; i < count; ++i) {
        const int x = (i % kPerRow) * kPitch;
        const int y = (i / kPerRow) * kPitch;
        auto point = [](const char* pen, int px, int py) {
            return std::string(pen) + std::to_string(px) + "," + std::to_string(py) + ";";
        };
        plot += point("PU", x, y) + point("PD", x, y + kSide) + point("PD", x + kSide, y + kSide) +
                point("PD", x + kSide, y) + point("PD", x, y);
    }
    return plot + "PU0,0;";
}

}  // namespace drovane
