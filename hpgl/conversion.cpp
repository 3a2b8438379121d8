// The HPGL reader's two ends as the tools and tests use them: a text in
// memory, or a file read into a file of pen commands.
#include <cerrno>
#include <cstdio>
#include <memory>

#include "hpgl/reader.h"

namespace {

class StringWriter : public ByteWriter {
public:
    explicit StringWriter(std::string& text) : text_(text) {}
    SystemError WriteAll(const char* data, size_t n) override {
        text_.append(data, n);
        return {};
    }

private:
    std::string& text_;
};

// The pen commands' file: closed, and its last write's failure known, at the end.
class PenCommandsFile : public ByteWriter {
public:
    ~PenCommandsFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    SystemError Open(const std::filesystem::path& path) {
        errno = 0;
        file_ = std::fopen(path.string().c_str(), "wb");
        return file_ == nullptr ? SystemError::Last() : SystemError();
    }
    SystemError WriteAll(const char* data, size_t n) override {
        errno = 0;
        return std::fwrite(data, 1, n, file_) == n ? SystemError() : SystemError::Last();
    }
    SystemError Close() {
        errno = 0;
        const int closed = std::fclose(file_);
        file_ = nullptr;
        return closed == 0 ? SystemError() : SystemError::Last();
    }

private:
    std::FILE* file_ = nullptr;
};

}  // namespace

HpglConversion ConvertHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea) {
    HpglConversion conversion;
    StringWriter writer(conversion.penCommands);
    HpglText text(hpgl);
    auto out = std::make_unique<BufferedOutput>(writer);
    conversion.reading = ReadHpgl(text, *out, plotArea);
    out->Flush();
    return conversion;
}

bool WriteHpglAsPenCommands(const std::filesystem::path& from, const std::filesystem::path& to,
                            HpglReading& reading, std::string& problem,
                            std::optional<HpglPoint> plotArea, const HpglStopCheck& stopRequested) {
    HpglFile in;
    if (const SystemError failed = in.Open(from)) {
        problem = "cannot read " + from.string() + ": " + failed.Message();
        return false;
    }
    PenCommandsFile file;
    SystemError failed = file.Open(to);
    if (!failed) {
        auto out = std::make_unique<BufferedOutput>(file);
        reading = ReadHpgl(in, *out, plotArea, stopRequested);
        out->Flush();
        failed = out->error();
        const SystemError closed = file.Close();
        if (!failed) failed = closed;
    }
    if (in.error()) {
        problem = "cannot read " + from.string() + ": " + in.error().Message();
        return false;
    }
    if (failed) {
        problem = "cannot write " + to.string() + ": " + failed.Message();
        return false;
    }
    if (reading.stopped) {
        problem = "stopped while reading " + from.string();
        return false;
    }
    // A refused file was not read to its end; any other must be read whole.
    if (!reading.refused && in.Changed()) {
        problem = "cannot read " + from.string() + ": the drawing changed while it was read";
        return false;
    }
    return true;
}
