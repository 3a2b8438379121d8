#pragma once
// What a conversion's two passes read, opened afresh for each pass: the plot
// file, or bytes another reader makes as a pass reads them (the pen commands
// of a general HPGL file), so that neither goes through a file of its own.
#include <cstdint>
#include <filesystem>
#include <optional>

#include "engine/job_outcome.h"
#include "engine/platform/byte_reader.h"

class PassInput : public ByteReader {
public:
    // Opens the bytes from their start for the next pass.
    virtual SystemError Open() = 0;
    // What a pass reads: the plot file's length when it was opened; for bytes
    // made as they are read, unknown until the first pass has read them all.
    virtual std::optional<uint32_t> length() const = 0;
    // After a pass has read `length` bytes: whether they were all there was,
    // as it was when pass 1 began. Completed, or why the job must end.
    virtual JobOutcome Finish() = 0;
    // The file the bytes come from, which the output must never be.
    virtual const std::filesystem::path& file() const = 0;
};
