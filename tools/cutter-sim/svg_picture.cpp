// Draws what the knife did as an SVG picture in millimetres: cuts solid and pen-up moves
// dashed, or the stream as a thin line under the blade's layers.
#include "svg_picture.h"

#include <algorithm>

namespace {

void AppendPoint(std::string& path, char command, KnifePoint p) {
    path += command;
    path += UnitsToMm(p.x);
    path += ' ';
    path += UnitsToMm(p.y);
}

}  // namespace

void SvgPicture::Stroke(const KnifeStroke& s) {
    if (!s.cut) {
        AppendPoint(movePath_, 'M', s.from);
        AppendPoint(movePath_, 'L', s.to);
        cutOpen_ = false;
        return;
    }
    // Consecutive cuts make one subpath, which keeps big pictures small.
    if (!cutOpen_ || cutEnd_.x != s.from.x || cutEnd_.y != s.from.y)
        AppendPoint(cutPath_, 'M', s.from);
    AppendPoint(cutPath_, 'L', s.to);
    cutOpen_ = true;
    cutEnd_ = s.to;
}

void SvgPicture::ContourBegins(KnifePoint at) {
    labels_.push_back(ContourLabel{job_, ++contour_, at});
}

void SvgPicture::JobBegins() {
    job_ = ++jobs_;
    contour_ = 0;
}

void SvgPicture::WriteLabels(std::ostream& out, const BoundingBox& frame) const {
    if (labels_.empty()) return;
    // Text that scales with the drawing but stays smaller than its letters.
    const int64_t side = std::max(frame.maxX - frame.minX, frame.maxY - frame.minY);
    const int64_t size = std::clamp<int64_t>(side / 250, 40, 200);  // 1 to 5 mm
    static const char* const kJobColours[] = {"#c00", "#06c", "#080", "#a0a"};
    out << "<g class=\"contours\" font-family=\"sans-serif\" font-size=\"" << UnitsToMm(size)
        << "\">\n";
    for (const ContourLabel& label : labels_) {
        const std::string text =
            jobs_ > 1 ? std::to_string(label.job) + "." + std::to_string(label.contour)
                      : std::to_string(label.contour);
        out << "<text fill=\"" << kJobColours[(label.job - 1) % 4] << "\" x=\""
            << UnitsToMm(label.at.x) << "\" y=\"" << UnitsToMm(label.at.y) << "\">" << text
            << "</text>\n";
    }
    out << "</g>\n";
}

void SvgPicture::Write(std::ostream& out, const BoundingBox& box,
                       const std::vector<SvgLayer>& layers) const {
    BoundingBox frame = box;
    if (frame.empty) frame = BoundingBox{false, 0, 0, 0, 0};
    const int64_t margin = kUnitsPerMm;
    const std::string left = UnitsToMm(frame.minX - margin);
    const std::string top = UnitsToMm(frame.minY - margin);
    const std::string width = UnitsToMm(frame.maxX - frame.minX + 2 * margin);
    const std::string height = UnitsToMm(frame.maxY - frame.minY + 2 * margin);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "mm\" height=\""
        << height << "mm\" viewBox=\"" << left << ' ' << top << ' ' << width << ' ' << height
        << "\">\n";
    if (!layers.empty()) {
        out << "<title>The stream's path thin, the tool axis dashed, the blade's cut bold "
               "(mm)</title>\n";
        if (!movePath_.empty() || !cutPath_.empty()) {
            out << "<path class=\"stream\" fill=\"none\" stroke=\"#999\" stroke-width=\"0.05\" "
                   "d=\""
                << movePath_ << cutPath_ << "\"/>\n";
        }
        for (const SvgLayer& layer : layers) {
            if (layer.path.empty()) continue;
            out << "<path class=\"" << layer.name << "\" fill=\"none\" " << layer.style << " d=\""
                << layer.path << "\"/>\n";
        }
        out << "</svg>\n";
        return;
    }
    out << "<title>What the knife did: cuts solid, pen-up moves dashed, contours numbered "
           "(mm)</title>\n";
    if (!movePath_.empty()) {
        out << "<path class=\"moves\" fill=\"none\" stroke=\"#888\" stroke-width=\"0.1\" "
               "stroke-dasharray=\"0.5 0.5\" d=\""
            << movePath_ << "\"/>\n";
    }
    if (!cutPath_.empty()) {
        out << "<path class=\"cuts\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.1\" "
               "stroke-linejoin=\"round\" d=\""
            << cutPath_ << "\"/>\n";
    }
    WriteLabels(out, frame);
    out << "</svg>\n";
}
