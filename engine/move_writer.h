#pragma once
#include "output_sink.h"
#include "pos_xyz.h"

// The cutter stream's fixed texts.
inline constexpr char kPortHeader[] = "CDR;";
inline constexpr char kFileHeader[] = "IN;";
inline constexpr char kFooter[] = "U0,0;@;@;@;";

// In port mode every coordinate line is shifted into the cutter's working area.
constexpr int32_t kPortShiftFirst = 1832;   // added to y, written first
constexpr int32_t kPortShiftSecond = 1524;  // added to x, written second

// Formats the output lines "U%d,%d;" / "D%d,%d;" with y first, then x.
class MoveWriter {
public:
    MoveWriter(BufferedOutput& out, bool toPort) : out_(out), toPort_(toPort) {}

    void WriteMove(char letter, Pos_xyz p);
    void WriteText(const char* text);  // header and footer, as they stand

private:
    BufferedOutput& out_;
    bool toPort_;
};
