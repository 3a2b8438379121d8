#pragma once
#include <cstdint>
#include <string>

// Where the knife went, in plotter units (1/40 mm) of the drawing: the port
// shift is already taken off.
struct KnifePoint {
    int64_t x;
    int64_t y;
};

enum class StreamHeader { None, Port, File };

struct BoundingBox {
    bool empty = true;
    int64_t minX = 0;
    int64_t minY = 0;
    int64_t maxX = 0;
    int64_t maxY = 0;

    void Include(KnifePoint p);
};

// What one received stream amounted to.
struct CutSummary {
    uint64_t bytes = 0;
    StreamHeader header = StreamHeader::None;
    uint64_t cuts = 0;   // "D" lines
    uint64_t moves = 0;  // "U" lines, the footer's excepted
    double cutLengthUnits = 0;
    BoundingBox box;  // every point a line went to
    uint64_t badLines = 0;
    bool complete = false;  // the footer arrived

    // A clean run: header, footer and nothing that failed to decode.
    bool Clean() const { return complete && badLines == 0 && header != StreamHeader::None; }
};

constexpr int kUnitsPerMm = 40;

// Millimetres with three decimals, exact for plotter units (1/40 mm = 0.025 mm).
std::string UnitsToMm(int64_t units);

// The one-line summary, e.g.
// "bytes=71 header=CDR cuts=4 moves=1 cut_mm=20.000 bbox_mm=1.000,1.000,6.000,6.000 bad=0 complete"
std::string FormatSummary(const CutSummary& summary);
