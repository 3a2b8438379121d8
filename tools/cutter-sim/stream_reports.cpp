// After the stream is judged: the blade's measure and the picture, each made on its own and
// each failure reported without touching the stream's verdict.
#include "stream_reports.h"

#include <new>
#include <sstream>

#include "blade_report.h"
#include "receive_loop.h"
#include "svg_picture.h"

namespace {

// Decodes the recorded stream into `sink`; the copy must hold what came.
Failure Replay(SimFile& recorded, const CutSummary& received, StrokeSink& sink) {
    StreamDecoder decoder(&sink);
    uint64_t bytes = 0;
    if (Failure error = recorded.Decode(decoder, bytes)) return error;
    if (bytes != received.bytes)
        return Failure("the stream's copy holds " + std::to_string(bytes) + " bytes of " +
                       std::to_string(received.bytes));
    return {};
}

}  // namespace

Failure MeasureBlade(SimFile& recorded, const CutSummary& received, double bladeMm,
                     const std::string& drawingPath, BladeMeasure& measure) {
    try {
        BladeTrail blade(bladeMm * kUnitsPerMm);
        if (Failure error = Replay(recorded, received, blade)) return error;
        std::optional<DrawingOutline> drawing;
        if (!drawingPath.empty()) {
            if (Failure error = ReadDrawing(drawingPath, &drawing.emplace())) return error;
        }
        measure.summary = BladeSummary(blade, drawing ? &*drawing : nullptr);
        if (ReceiveStopRequested()) {
            measure = {};
            return Failure("the blade's measure was stopped by a signal");
        }
        measure.blade = std::move(blade);
        measure.drawing = std::move(drawing);
    } catch (const std::bad_alloc&) {
        measure = {};
        return Failure("the blade's measure ran out of memory");
    }
    return {};
}

Failure DrawPicture(SimFile& recorded, const CutSummary& received, const BladeMeasure* measure,
                    const std::string& svgPath) {
    std::string svg;
    try {
        SvgPicture picture;
        if (Failure error = Replay(recorded, received, picture)) return error;
        std::ostringstream out;
        if (measure != nullptr && measure->blade) {
            BoundingBox frame = received.box;
            const BoundingBox tip = measure->blade->box();
            if (!tip.empty) {
                frame.Include({tip.minX, tip.minY});
                frame.Include({tip.maxX, tip.maxY});
            }
            const DrawingOutline* drawing = measure->drawing ? &*measure->drawing : nullptr;
            picture.Write(out, frame, BladeLayers(*measure->blade, drawing));
        } else {
            picture.Write(out, received.box);
        }
        svg = std::move(out).str();
    } catch (const std::bad_alloc&) {
        return Failure(svgPath + ": the picture ran out of memory");
    }
    return WriteTextFile(svgPath, svg);
}
