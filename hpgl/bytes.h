#pragma once
// The bytes of an HPGL file as its reader meets them: read in blocks, so that
// a file of any size costs the same memory, with device escapes taken out
// whole, since a plotter acts on those before its language sees them.
#include <cstddef>
#include <cstdint>

#include "engine/platform/byte_reader.h"

// One byte at a time from a source, with every escape sequence skipped:
// "ESC . X parameters :" (the RS-232 device controls, some of which end at
// their letter) and PCL's "ESC & l 1 O", "ESC % 0 B", "ESC E", including the
// binary data that a "...W" sequence announces.
class HpglBytes {
public:
    // A source that fails ends the bytes here; the source keeps why.
    explicit HpglBytes(ByteReader& source) : source_(source) {}
    HpglBytes(const HpglBytes&) = delete;
    HpglBytes& operator=(const HpglBytes&) = delete;

    int Peek();  // the next byte (0..255) without taking it; -1 at the end
    int Take();  // the same, taken
    // How many bytes of the source lie before the next one, escapes included.
    uint64_t Position() const { return base_ + at_; }
    // An escape announced more data than the rest of the input holds: where
    // it began and how many bytes it announced (0 when none did).
    uint64_t SwallowingEscapeAt() const { return swallowingAt_; }
    uint64_t SwallowedAnnounced() const { return swallowed_; }

private:
    static constexpr int kEscape = 0x1B;
    int RawPeek();
    void RawTake() { ++at_; }
    void SkipEscape();
    void SkipPclSequence();
    void SkipRaw(uint64_t count);

    ByteReader& source_;
    size_t at_ = 0;
    size_t end_ = 0;
    uint64_t base_ = 0;  // bytes of the source before buffer_
    uint64_t escapeAt_ = 0;
    uint64_t swallowingAt_ = 0;
    uint64_t swallowed_ = 0;
    bool ended_ = false;
    uint8_t buffer_[64 * 1024];
};
