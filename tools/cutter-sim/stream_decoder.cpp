// Decodes a cutter stream in pieces of any size into knife strokes and a summary: the header,
// lines exactly as %d prints them, the footer; anything else is a bad line.
#include "stream_decoder.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace {

constexpr int kFooterMarks = 3;

// "%d" as printed: an optional '-', then one or more digits, within int32.
bool ReadInt(std::string_view& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    const size_t digitsStart = i;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) return false;
    }
    if (i == digitsStart) return false;
    value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return false;
    text.remove_prefix(i);
    return true;
}

// "U%d,%d" or "D%d,%d" without the ';'.
bool ParseMoveLine(std::string_view text, bool& cut, int64_t& first, int64_t& second) {
    if (text.empty() || (text[0] != 'U' && text[0] != 'D')) return false;
    cut = text[0] == 'D';
    text.remove_prefix(1);
    if (!ReadInt(text, first) || text.empty() || text[0] != ',') return false;
    text.remove_prefix(1);
    return ReadInt(text, second) && text.empty();
}

}  // namespace

size_t StreamDecoder::Feed(const char* data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (summary_.complete) return i;
        ++summary_.bytes;
        const char c = data[i];
        if (c != ';') {
            if (lineLength_ < kMaxLine)
                line_[lineLength_++] = c;
            else
                lineTooLong_ = true;
            continue;
        }
        Line();
        lineLength_ = 0;
        lineTooLong_ = false;
    }
    return n;
}

void StreamDecoder::Line() {
    const std::string_view text(line_, lineLength_);
    const bool first = firstLine_;
    firstLine_ = false;
    if (lineTooLong_) {
        SettleHeldHome();
        ++summary_.badLines;
        return;
    }
    if (first && (text == "CDR" || text == "IN")) {
        summary_.header = text == "CDR" ? StreamHeader::Port : StreamHeader::File;
        return;
    }
    if (text == "@") {
        if (homeHeld_ || footerMarks_ > 0) {
            homeHeld_ = false;
            if (++footerMarks_ == kFooterMarks) summary_.complete = true;
        } else {
            ++summary_.badLines;
        }
        return;
    }
    if (footerMarks_ > 0) {
        // The footer broke off part way: its marks count as bad, not as an end.
        summary_.badLines += footerMarks_;
        footerMarks_ = 0;
    }
    SettleHeldHome();
    if (text == "U0,0") {
        homeHeld_ = true;
        return;
    }
    bool cut = false;
    int64_t firstNumber = 0;
    int64_t secondNumber = 0;
    if (!ParseMoveLine(text, cut, firstNumber, secondNumber)) {
        ++summary_.badLines;
        return;
    }
    Point(cut, firstNumber, secondNumber);
}

// A held "U0,0;" that no footer mark followed was an ordinary move.
void StreamDecoder::SettleHeldHome() {
    if (!homeHeld_) return;
    homeHeld_ = false;
    Point(false, 0, 0);
}

void StreamDecoder::Point(bool cut, int64_t first, int64_t second) {
    KnifePoint to{second, first};
    if (summary_.header == StreamHeader::Port) {
        to.x -= kSimShiftSecond;
        to.y -= kSimShiftFirst;
    }
    if (cut)
        ++summary_.cuts;
    else
        ++summary_.moves;
    summary_.box.Include(to);
    knifeDown_ = cut;
    if (!cut && sink_ != nullptr) sink_->ContourBegins(to);
    // Where the knife stood before the first line is unknown: nothing is drawn
    // or measured for that line.
    if (positionKnown_) {
        if (cut) {
            summary_.cutLengthUnits += std::hypot(static_cast<double>(to.x - position_.x),
                                                  static_cast<double>(to.y - position_.y));
        }
        if (sink_ != nullptr) sink_->Stroke(KnifeStroke{position_, to, cut});
    }
    position_ = to;
    positionKnown_ = true;
}

void StreamDecoder::EndOfStream() {
    if (summary_.complete) return;
    if (lineLength_ > 0 || lineTooLong_) ++summary_.badLines;  // a line cut off
    lineLength_ = 0;
    lineTooLong_ = false;
    summary_.badLines += footerMarks_;
    footerMarks_ = 0;
    SettleHeldHome();
}
