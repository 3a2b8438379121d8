#pragma once
#include <cstddef>

#include "engine/platform/system_error.h"

// Where formatted output bytes finally go: a file, a port, a string in tests.
class ByteWriter {
public:
    virtual ~ByteWriter() = default;
    // Writes all n bytes; the system's reason when they could not all be written.
    virtual SystemError WriteAll(const char* data, size_t n) = 0;
};
