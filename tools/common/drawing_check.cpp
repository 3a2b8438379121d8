#include "drawing_check.h"

#include <cerrno>

#include "platform/mapped_file.h"

std::string DrawingProblem(const std::string& path) {
    MappedFile drawing;  // opens without blocking, maps nothing yet read
    const SystemError why = drawing.Open(path);
    if (!why) return "";
    // The mapping's own code for a FIFO or a device says only "Invalid argument".
    const std::string reason =
        why.code() == EINVAL ? "not a regular file (a FIFO, a device)" : why.Message();
    return "cannot read " + path + ": " + reason;
}
