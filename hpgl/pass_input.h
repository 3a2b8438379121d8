#pragma once
// A general HPGL file as the engine's passes read it: its pen commands, made
// by the reader as each pass reads them, so that nothing goes through the disk.
// The file is read once for each pass; pass 2 must get the bytes pass 1 got.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/output_sink.h"
#include "engine/pass_input.h"
#include "engine/platform/input_file.h"
#include "hpgl/reader.h"

class HpglPassInput : public PassInput {
public:
    HpglPassInput(std::filesystem::path file, std::optional<HpglPoint> plotArea,
                  HpglStopCheck stopRequested);
    HpglPassInput(const HpglPassInput&) = delete;
    HpglPassInput& operator=(const HpglPassInput&) = delete;
    ~HpglPassInput() override;

    SystemError Open() override;
    SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override;
    std::optional<uint32_t> length() const override { return length_; }
    // The file read whole and unchanged, the reading neither refused nor
    // stopped; after pass 2 also the same number of bytes as pass 1.
    JobOutcome Finish() override;
    const std::filesystem::path& file() const override { return file_; }

    // What the last pass's reading skipped, dropped or refused.
    const HpglReading& reading() const { return reader_ ? reader_->reading() : notRead_; }

private:
    // The file's bytes as the reader takes them: counted, and a failed read's
    // reason kept while the reader sees only an end.
    class FileBytes : public ByteReader {
    public:
        SystemError Open(const std::filesystem::path& file);
        SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override;
        uint64_t read() const { return read_; }
        uint32_t length() const { return file_.length(); }
        const SystemError& error() const { return error_; }

    private:
        InputFile file_;
        uint64_t read_ = 0;
        SystemError error_;
    };

    // The pen commands made and not yet handed to the pass.
    class Pending : public ByteWriter {
    public:
        SystemError WriteAll(const char* data, size_t n) override;
        size_t size() const { return bytes_.size() - taken_; }
        size_t Take(uint8_t* into, size_t n);
        void Clear();

    private:
        std::string bytes_;
        size_t taken_ = 0;
    };

    bool Changed() const;

    std::filesystem::path file_;
    std::optional<HpglPoint> plotArea_;
    HpglStopCheck stopRequested_;
    std::optional<uint32_t> length_;  // of the pen commands, once pass 1 has read them
    uint64_t made_ = 0;               // pen command bytes handed out in this pass
    // The file's size and time of change when pass 1 opened it.
    std::uintmax_t size_ = 0;
    std::filesystem::file_time_type changed_;
    FileBytes bytes_;
    Pending pending_;
    std::unique_ptr<BufferedOutput> out_;
    std::unique_ptr<HpglReader> reader_;
    bool ended_ = false;   // the reader has read its last step in this pass
    HpglReading notRead_;  // before a pass has opened the file
};
