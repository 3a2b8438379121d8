#pragma once
// The HPGL instructions the reader knows, and how it handles each: the one
// place that says which are honoured, which end a page and which refuse the
// file. Anything not listed is skipped and counted by name.
#include <string_view>

enum class HpglHandling {
    Pairs,     // coordinate pairs, each moving the pen as it comes
    Encoded,   // PE: its bytes are its own numbers
    Geometry,  // numbers carried out by HpglGeometry
    LabelEnd,  // DT: the byte that ends labels
    Label,     // LB: text, read past to its end and not cut
    PageEnd,   // a page's end: nothing may be drawn after it
    Refused,   // changes what is cut and is not read: the file is refused
};

struct HpglInstruction {
    std::string_view name;
    HpglHandling handling;
    std::string_view draws = {};  // what a refused one draws, for the user who meets it
};

inline constexpr HpglInstruction kHpglInstructions[] = {
    {"PU", HpglHandling::Pairs},
    {"PD", HpglHandling::Pairs},
    {"PA", HpglHandling::Pairs},
    {"PR", HpglHandling::Pairs},
    {"PE", HpglHandling::Encoded},
    {"IN", HpglHandling::Geometry},
    {"DF", HpglHandling::Geometry},
    {"IP", HpglHandling::Geometry},
    {"IR", HpglHandling::Geometry},
    {"SC", HpglHandling::Geometry},
    {"RO", HpglHandling::Geometry},
    {"IW", HpglHandling::Geometry},
    {"CT", HpglHandling::Geometry},
    {"AA", HpglHandling::Geometry},
    {"AR", HpglHandling::Geometry},
    {"CI", HpglHandling::Geometry},
    {"EA", HpglHandling::Geometry},
    {"ER", HpglHandling::Geometry},
    {"RA", HpglHandling::Geometry},
    {"RR", HpglHandling::Geometry},
    {"PM", HpglHandling::Geometry},
    {"EP", HpglHandling::Geometry},
    {"FP", HpglHandling::Geometry},
    {"SP", HpglHandling::Geometry},
    {"DT", HpglHandling::LabelEnd},
    {"LB", HpglHandling::Label},
    {"AF", HpglHandling::PageEnd},
    {"AH", HpglHandling::PageEnd},
    {"FR", HpglHandling::PageEnd},
    {"PG", HpglHandling::PageEnd},
    {"AT", HpglHandling::Refused, "an arc"},
    {"RT", HpglHandling::Refused, "an arc"},
    {"BR", HpglHandling::Refused, "Bezier curves"},
    {"BZ", HpglHandling::Refused, "Bezier curves"},
    {"EW", HpglHandling::Refused, "a wedge"},
    {"WG", HpglHandling::Refused, "a filled wedge"},
    {"XT", HpglHandling::Refused, "tick marks"},
    {"YT", HpglHandling::Refused, "tick marks"},
};

// The entry for `name`; nullptr for an instruction that is skipped.
constexpr const HpglInstruction* FindHpglInstruction(std::string_view name) {
    for (const HpglInstruction& instruction : kHpglInstructions)
        if (instruction.name == name) return &instruction;
    return nullptr;
}
