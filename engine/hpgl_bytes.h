#pragma once
// The bytes of an HPGL file as its reader meets them: read in blocks, so that
// a file of any size costs the same memory, with device escapes taken out
// whole, since a plotter acts on those before its language sees them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "platform/system_error.h"

class HpglSource {
public:
    virtual ~HpglSource() = default;
    // Up to `room` bytes into `data`; 0 at the end of the input or on a failure.
    virtual size_t Read(char* data, size_t room) = 0;
};

class HpglText : public HpglSource {
public:
    explicit HpglText(std::string_view text) : text_(text) {}
    size_t Read(char* data, size_t room) override;

private:
    std::string_view text_;
};

class HpglFile : public HpglSource {
public:
    HpglFile() = default;
    HpglFile(const HpglFile&) = delete;
    HpglFile& operator=(const HpglFile&) = delete;
    ~HpglFile() override;

    SystemError Open(const std::filesystem::path& path);
    size_t Read(char* data, size_t room) override;
    const SystemError& error() const { return error_; }  // why reading stopped early

private:
    std::FILE* file_ = nullptr;
    SystemError error_;
};

// One byte at a time from a source, with every escape sequence skipped:
// "ESC . X parameters :" (the RS-232 device controls, some of which end at
// their letter) and PCL's "ESC & l 1 O", "ESC % 0 B", "ESC E", including the
// binary data that a "...W" sequence announces.
class HpglBytes {
public:
    explicit HpglBytes(HpglSource& source) : source_(source) {}
    HpglBytes(const HpglBytes&) = delete;
    HpglBytes& operator=(const HpglBytes&) = delete;

    int Peek();  // the next byte (0..255) without taking it; -1 at the end
    int Take();  // the same, taken

private:
    static constexpr int kEscape = 0x1B;
    int RawPeek();
    void RawTake() { ++at_; }
    void SkipEscape();
    void SkipPclSequence();
    void SkipRaw(uint64_t count);

    HpglSource& source_;
    size_t at_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
    char buffer_[64 * 1024];
};
