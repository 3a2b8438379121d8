#pragma once
// cutsend's command line.
#include <cstdint>
#include <optional>
#include <string>

#include "hpgl/scaling.h"

struct SendOptions {
    int32_t offsetUnits = 0;            // knife offset, 1/40 mm; 0: off
    int32_t overcutUnits = 0;           // overcut, 1/40 mm; 0: off
    bool hpgl = false;                  // read general HPGL first
    bool plain = false;                 // one point per pen command, whatever else is there
    bool force = false;                 // lengths beyond a drag knife's needs are meant
    std::optional<HpglPoint> maxSize;   // plotter units: the cut must lie within
    std::optional<HpglPoint> plotArea;  // plotter units, for HPGL scaled to it
    uint32_t fromContour = 0;           // 0: the whole job; else send from this contour
    bool quiet = false;
    bool list = false;
    bool help = false;
    bool version = false;
    std::string port;
    std::string drawing;
};

// Reads the command line; false with a one-line problem.
bool ParseSendOptions(int argc, const char* const* argv, SendOptions& options,
                      std::string& problem);

extern const char kSendUsage[];
extern const char kSendHelp[];
