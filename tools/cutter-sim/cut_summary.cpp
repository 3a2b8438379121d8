// The one-line summary of a received stream: bytes, header, cuts, moves, cut length and
// bounding box in millimetres exact to 1/40 mm, bad lines, complete or not.
#include "cut_summary.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

void BoundingBox::Include(KnifePoint p) {
    if (empty) {
        empty = false;
        minX = maxX = p.x;
        minY = maxY = p.y;
        return;
    }
    if (p.x < minX) minX = p.x;
    if (p.x > maxX) maxX = p.x;
    if (p.y < minY) minY = p.y;
    if (p.y > maxY) maxY = p.y;
}

std::string UnitsToMm(int64_t units) {
    // 1 unit = 25 thousandths of a millimetre, so integer arithmetic is exact.
    const int64_t thousandths = units * 25;
    const uint64_t magnitude = thousandths < 0 ? 0 - static_cast<uint64_t>(thousandths)
                                               : static_cast<uint64_t>(thousandths);
    char text[32];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%03" PRIu64, thousandths < 0 ? "-" : "",
                  magnitude / 1000, magnitude % 1000);
    return text;
}

static const char* HeaderName(StreamHeader header) {
    switch (header) {
        case StreamHeader::Port: return "CDR";
        case StreamHeader::File: return "IN";
        case StreamHeader::None: break;
    }
    return "none";
}

std::string FormatSummary(const CutSummary& s) {
    std::string box = "none";
    if (!s.box.empty) {
        box = UnitsToMm(s.box.minX) + "," + UnitsToMm(s.box.minY) + "," + UnitsToMm(s.box.maxX) +
              "," + UnitsToMm(s.box.maxY);
    }
    char head[160];
    std::snprintf(head, sizeof head,
                  "bytes=%" PRIu64 " header=%s cuts=%" PRIu64 " moves=%" PRIu64 " cut_mm=%.3f",
                  s.bytes, HeaderName(s.header), s.cuts, s.moves, s.cutLengthUnits / kUnitsPerMm);
    char tail[64];
    std::snprintf(tail, sizeof tail, " bad=%" PRIu64 " %s", s.badLines,
                  s.complete ? "complete" : "incomplete");
    return std::string(head) + " bbox_mm=" + box + tail;
}
