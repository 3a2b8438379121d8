// Reading an HPGL file's bytes in blocks, with device escapes left out whole.
#include "hpgl/bytes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

int HpglBytes::RawPeek() {
    if (at_ == end_ && !ended_) {
        base_ += end_;
        at_ = 0;
        size_t got = 0;
        if (source_.ReadSome(buffer_, sizeof buffer_, got)) got = 0;
        end_ = got;
        ended_ = end_ == 0;
    }
    return at_ < end_ ? buffer_[at_] : -1;
}

int HpglBytes::Peek() {
    int c;
    while ((c = RawPeek()) == kEscape) SkipEscape();
    return c;
}

int HpglBytes::Take() {
    const int c = Peek();
    if (c >= 0) RawTake();
    return c;
}

void HpglBytes::SkipEscape() {
    escapeAt_ = Position();
    RawTake();
    const int c = RawPeek();
    if (c == '.') {
        RawTake();
        if (RawPeek() < 0) return;
        RawTake();  // the device control's letter
        // Decimal parameters separated by ';' end at ':'; the controls
        // without parameters (ESC.( ESC.R ...) may have none.
        for (int p; (p = RawPeek()) >= 0; RawTake()) {
            if (p == ':') {
                RawTake();
                return;
            }
            if (!(std::isdigit(p) || p == ';' || p == '+' || p == '-' || p == '.' || p == ' '))
                return;
        }
    } else if (c >= 0x21 && c <= 0x2F) {
        SkipPclSequence();
    } else if (c >= 0x30 && c <= 0x7E) {
        RawTake();  // a two-character sequence: ESC E (reset), ESC 9, ...
    }
}

// ESC, a parameterised character ('&', '%', '*', '(' ...), an optional group
// character, then values each closed by a parameter character: lower case
// when another follows, upper case at the end ("ESC&l1o2A", "ESC%-12345X").
void HpglBytes::SkipPclSequence() {
    RawTake();
    int c = RawPeek();
    if (c >= 0x60 && c <= 0x7E) RawTake();
    for (;;) {
        uint64_t value = 0;
        bool fraction = false;
        while ((c = RawPeek()) >= 0 && (std::isdigit(c) || c == '+' || c == '-' || c == '.')) {
            if (c == '.') fraction = true;
            if (std::isdigit(c) && !fraction && value < (uint64_t{1} << 48))
                value = value * 10 + static_cast<uint64_t>(c - '0');
            RawTake();
        }
        const bool more = c >= 0x60 && c <= 0x7E;
        if (!more && !(c >= 0x40 && c <= 0x5E)) return;  // malformed: read on from here
        RawTake();
        if (c == 'W' || c == 'w') SkipRaw(value);  // binary data of that many bytes
        if (!more) return;
    }
}

void HpglBytes::SkipRaw(uint64_t count) {
    const uint64_t announced = count;
    while (count > 0 && RawPeek() >= 0) {
        const uint64_t here = std::min<uint64_t>(count, end_ - at_);
        at_ += static_cast<size_t>(here);
        count -= here;
    }
    if (count > 0 && swallowed_ == 0) {
        swallowingAt_ = escapeAt_;
        swallowed_ = announced;
    }
}
