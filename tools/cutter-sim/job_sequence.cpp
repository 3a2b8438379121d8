// Splits one line's bytes into jobs at their headers, the way a cutter that stays on reads
// them: a header that arrives inside an unfinished command completes it first.
#include "job_sequence.h"

#include <cstdlib>

namespace {

// A line that ends with a header: the next job began. `before` is what came
// ahead of it, the job before's unfinished command.
bool EndsWithHeader(const std::string& text, std::string& before) {
    for (const std::string header : {"CDR", "IN"}) {
        if (text.size() < header.size() ||
            text.compare(text.size() - header.size(), header.size(), header) != 0)
            continue;
        before = text.substr(0, text.size() - header.size());
        // "IN" ends words that are no header; after a move's digits it is one.
        if (header == "CDR" || before.empty() || before[0] == 'U' || before[0] == 'D') return true;
    }
    return false;
}

// A number read as a cutter reads it: leading digits, none read as 0.
int64_t CutterNumber(const std::string& text, size_t from) {
    if (from >= text.size()) return 0;
    return std::strtoll(text.c_str() + from, nullptr, 10);
}

}  // namespace

size_t JobSequence::Feed(const char* data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const char c = data[i];
        if (lineLong_) {
            decoder_->Feed(&c, 1);
            if (c == ';') {
                lineLong_ = false;
                jobHasLines_ = true;
                if (decoder_->finished()) EndJob(JobEnd::Ending);
            }
            continue;
        }
        line_ += c;
        if (c == ';') {
            Line();
            line_.clear();
        } else if (line_.size() > kMaxHeld) {
            if (!decoder_) BeginJob();
            decoder_->Feed(line_.data(), line_.size());
            line_.clear();
            lineLong_ = true;
        }
    }
    return n;
}

void JobSequence::Line() {
    if (!decoder_) BeginJob();
    std::string before;
    if (jobHasLines_ && EndsWithHeader(line_.substr(0, line_.size() - 1), before)) {
        const std::string header = line_.substr(before.size());
        SequenceJob next;
        if (!before.empty()) StrayCommand(before, next);
        EndJob(before.empty() ? JobEnd::NoEnding : JobEnd::InsideCommand);
        jobs_.back().summary.bytes += before.size();
        BeginJob();
        jobs_.back() = next;
        decoder_->Feed(header.data(), header.size());
        jobHasLines_ = true;
        return;
    }
    decoder_->Feed(line_.data(), line_.size());
    jobHasLines_ = true;
    if (decoder_->finished()) EndJob(JobEnd::Ending);
}

// The command left unfinished, completed by the header's letters, as the
// cutter acts on it: its letter, then the numbers it can read.
void JobSequence::StrayCommand(const std::string& text, SequenceJob& next) {
    next.start = JobStart::InsideCommand;
    next.strayCommand = text;
    if (text[0] != 'U' && text[0] != 'D') return;
    const size_t comma = text.find(',');
    const int64_t first = CutterNumber(text, 1);
    const int64_t second = comma == std::string::npos ? 0 : CutterNumber(text, comma + 1);
    KnifePoint to{second, first};
    if (decoder_->summary().header == StreamHeader::Port) {
        to.x -= kSimShiftSecond;
        to.y -= kSimShiftFirst;
    }
    next.strayTo = to;
    next.strayCut = text[0] == 'D';
    if (sink_ != nullptr && decoder_->position() != nullptr)
        sink_->Stroke(KnifeStroke{*decoder_->position(), to, next.strayCut});
}

void JobSequence::BeginJob() {
    decoder_ = std::make_unique<StreamDecoder>(sink_);
    jobHasLines_ = false;
    jobs_.emplace_back();
    if (sink_ != nullptr) sink_->JobBegins();
}

void JobSequence::EndJob(JobEnd end) {
    decoder_->EndOfStream();
    SequenceJob& job = jobs_.back();
    job.summary = decoder_->summary();
    job.end = end;
    job.knifeDown = end != JobEnd::Ending && decoder_->knifeDown();
    decoder_.reset();
}

void JobSequence::EndOfStream() {
    if (!line_.empty()) {
        if (!decoder_) BeginJob();
        decoder_->Feed(line_.data(), line_.size());  // a line cut off
    }
    if (decoder_) EndJob(line_.empty() && !lineLong_ ? JobEnd::NoEnding : JobEnd::InsideCommand);
    line_.clear();
    lineLong_ = false;
}

std::string FormatSequenceJob(size_t number, const SequenceJob& job) {
    std::string text = "job=" + std::to_string(number) + " " + FormatSummary(job.summary);
    if (job.start == JobStart::Clean) {
        text += " start=clean";
    } else {
        text += " start=inside-command stray=" + job.strayCommand;
        if (job.strayTo)
            text += std::string(" knife=") + (job.strayCut ? "cut-to:" : "moved-to:") +
                    UnitsToMm(job.strayTo->x) + "," + UnitsToMm(job.strayTo->y);
    }
    switch (job.end) {
        case JobEnd::Ending: text += " end=ending"; break;
        case JobEnd::InsideCommand: text += " end=inside-command"; break;
        case JobEnd::NoEnding: text += " end=no-ending"; break;
    }
    if (job.end != JobEnd::Ending) text += job.knifeDown ? " knife=down" : " knife=up";
    return text;
}
