// The reader on a text in memory, for small texts, tests and fuzzing.
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

}  // namespace

HpglConversion ConvertHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea) {
    HpglConversion conversion;
    StringWriter writer(conversion.penCommands);
    MemoryReader text(reinterpret_cast<const uint8_t*>(hpgl.data()), hpgl.size());
    auto out = std::make_unique<BufferedOutput>(writer);
    conversion.reading = ReadHpgl(text, *out, plotArea);
    out->Flush();
    return conversion;
}
