#pragma once
// The bytes of an HPGL file as its reader meets them: read in blocks, so that
// a file of any size costs the same memory, with device escapes taken out
// whole, since a plotter acts on those before its language sees them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "engine/platform/system_error.h"

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
    // After the end: the file's size or time of change is not what it was
    // when opened, or fewer bytes were read than it had.
    bool Changed() const;

private:
    std::FILE* file_ = nullptr;
    SystemError error_;
    std::filesystem::path path_;
    uintmax_t size_ = 0;
    std::filesystem::file_time_type changed_;
    uint64_t read_ = 0;
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

    HpglSource& source_;
    size_t at_ = 0;
    size_t end_ = 0;
    uint64_t base_ = 0;  // bytes of the source before buffer_
    uint64_t escapeAt_ = 0;
    uint64_t swallowingAt_ = 0;
    uint64_t swallowed_ = 0;
    bool ended_ = false;
    char buffer_[64 * 1024];
};
