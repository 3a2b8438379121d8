#pragma once
// Why the HPGL reader refuses a file: reading stops there and the file must
// not be cut. The reason is a kind, so that a caller words each as it needs;
// only a file that cannot be cut as written carries a sentence.
#include <cstdint>
#include <string>
#include <utility>

class HpglRefusal {
public:
    enum class Reason : uint8_t {
        None,
        NotRead,        // an instruction that changes what is cut and is not read
        NeedsPlotArea,  // SC or IR places the drawing by the plotting area, not given
        CannotBeCut,    // the file as written: where and why in `why()`
    };

    HpglRefusal() = default;  // not refused

    static HpglRefusal NotRead(std::string instruction) {
        return {Reason::NotRead, std::move(instruction), {}};
    }
    static HpglRefusal NeedsPlotArea(std::string instruction) {
        return {Reason::NeedsPlotArea, std::move(instruction), {}};
    }
    // "PD at byte 3: 'e' at byte 6 is no number"
    static HpglRefusal CannotBeCut(std::string why) {
        return {Reason::CannotBeCut, {}, std::move(why)};
    }

    explicit operator bool() const { return reason_ != Reason::None; }
    Reason reason() const { return reason_; }
    // The instruction refused (NotRead) or that needs the plotting area ("SC", "IR").
    const std::string& instruction() const { return instruction_; }
    const std::string& why() const { return why_; }

    bool operator==(const HpglRefusal&) const = default;

private:
    HpglRefusal(Reason reason, std::string instruction, std::string why)
        : reason_(reason), instruction_(std::move(instruction)), why_(std::move(why)) {}

    Reason reason_ = Reason::None;
    std::string instruction_;
    std::string why_;
};
