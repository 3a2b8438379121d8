#pragma once
// The size of the plotter's plotting area as both tools take it
// (--plot-area, and cutsend's --max-size): "WIDTHxHEIGHT" in millimetres,
// such as "250x180", each above 0 and at most 100 m.
#include <string_view>

#include "hpgl/scaling.h"

// The size in plotter units; false when `text` is no such size.
bool ParsePlotArea(std::string_view text, HpglPoint& units);
