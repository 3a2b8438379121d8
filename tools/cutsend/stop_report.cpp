// The lines cutsend prints after a stop: where the job stopped in contours and bytes, whether
// the knife was left up or the cutter should be reset, and the command that goes on.
#include "stop_report.h"

uint32_t ResumeContour(const StreamContours& contours) {
    return contours.inFlight > 0 ? contours.inFlight : 1;
}

std::string GroupedNumber(uint64_t value) {
    std::string digits = std::to_string(value);
    for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

void ReportStop(std::FILE* out, const StopFacts& facts, const std::string& resumeCommand) {
    if (facts.ending == StopEnding::NothingSent) {
        std::fputs("cutsend: stopped before the first byte was sent\n", out);
        return;
    }
    const uint32_t contour = ResumeContour(facts.contours);
    std::fprintf(out, "cutsend: stopped in contour %u of %u, %s of %s bytes sent\n", contour,
                 facts.contours.total, GroupedNumber(facts.bytesSent).c_str(),
                 GroupedNumber(facts.bytesTotal).c_str());
    switch (facts.ending) {
        case StopEnding::Ended:
            std::fputs("cutsend: the cutter was left between two commands, knife up\n", out);
            break;
        case StopEnding::LineHeld:
            std::fputs(
                "cutsend: the cutter held the line, so the stop's last bytes were not sent: it "
                "may hold an unfinished command; reset the cutter before the next job\n",
                out);
            break;
        case StopEnding::NothingSent:
        case StopEnding::NotEnded: break;
    }
    if (facts.contours.total > 0)
        std::fprintf(out, "cutsend: to go on from there: %s\n", resumeCommand.c_str());
    std::fflush(out);
}
