// An HPGL file's pen commands made as each pass reads them; see pass_input.h.
#include "hpgl/pass_input.h"

#include <algorithm>
#include <cstring>

SystemError HpglPassInput::FileBytes::Open(const std::filesystem::path& file) {
    file_.Close();
    read_ = 0;
    error_ = {};
    return file_.Open(file);
}

SystemError HpglPassInput::FileBytes::ReadSome(uint8_t* into, size_t n, size_t& got) {
    got = 0;
    if (error_) return error_;
    error_ = file_.ReadSome(into, n, got);
    read_ += got;
    return error_;
}

SystemError HpglPassInput::Pending::WriteAll(const char* data, size_t n) {
    bytes_.erase(0, taken_);  // what is left untaken is a pass's block at most
    taken_ = 0;
    bytes_.append(data, n);
    return {};
}

void HpglPassInput::Pending::Clear() {
    bytes_.clear();
    taken_ = 0;
}

size_t HpglPassInput::Pending::Take(uint8_t* into, size_t n) {
    const size_t got = std::min(n, size());
    std::memcpy(into, bytes_.data() + taken_, got);
    taken_ += got;
    return got;
}

HpglPassInput::HpglPassInput(std::filesystem::path file, std::optional<HpglPoint> plotArea,
                             HpglStopCheck stopRequested)
    : file_(std::move(file)),
      plotArea_(plotArea),
      stopRequested_(std::move(stopRequested)),
      out_(std::make_unique<BufferedOutput>(pending_)) {}

HpglPassInput::~HpglPassInput() = default;

SystemError HpglPassInput::Open() {
    reader_.reset();
    out_ = std::make_unique<BufferedOutput>(pending_);
    pending_.Clear();  // what an earlier pass left unread
    made_ = 0;
    ended_ = false;
    if (SystemError error = bytes_.Open(file_)) return error;
    if (!length_) {
        std::error_code unknown;
        size_ = std::filesystem::file_size(file_, unknown);
        changed_ = std::filesystem::last_write_time(file_, unknown);
    }
    reader_ = std::make_unique<HpglReader>(bytes_, *out_, plotArea_, stopRequested_);
    return {};
}

SystemError HpglPassInput::ReadSome(uint8_t* into, size_t n, size_t& got) {
    // A step writes little, but the 64 KiB of the output's buffer come at once.
    while (pending_.size() < n && !ended_) {
        if (!reader_->Step()) {
            out_->Flush();
            ended_ = true;
        }
    }
    got = pending_.Take(into, n);
    made_ += got;
    return got == 0 ? bytes_.error() : SystemError();
}

bool HpglPassInput::Changed() const {
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(file_, failed);
    if (failed || size != size_ || bytes_.read() != size_) return true;
    return std::filesystem::last_write_time(file_, failed) != changed_ || failed;
}

JobOutcome HpglPassInput::Finish() {
    // Bytes beyond what the pass read: pass 1 reads to the end, so only a
    // second pass over a changed file, or pen commands of 4 GiB, leave any.
    uint8_t beyond = 0;
    size_t more = 0;
    ReadSome(&beyond, 1, more);
    const HpglReading& got = reader_->reading();
    if (got.stopped) return JobResult::Cancelled;
    if (bytes_.error()) return {JobResult::InputUnreadable, bytes_.error()};
    if (got.refused) return JobResult::InputRefused;
    if (more > 0 && !length_) return {JobResult::InputRefused, SystemError(Refusal::TooLarge)};
    if (more > 0 || Changed() || (length_ && made_ != *length_))
        return {JobResult::InputChanged, SystemError(Refusal::ChangedWhileRead)};
    length_ = static_cast<uint32_t>(made_);
    return JobResult::Completed;
}
