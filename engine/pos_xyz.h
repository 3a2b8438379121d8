#pragma once
#include <cstdint>

// One point of the cutting path in plotter units (1/40 mm), always copied by value.
struct Pos_xyz {
    int32_t x;
    int32_t y;
    uint8_t pen;  // 1 pen down (cut to here), 0 pen up (move to here)
};

inline bool SamePlace(Pos_xyz a, Pos_xyz b) {
    return a.x == b.x && a.y == b.y;
}
