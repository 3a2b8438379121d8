#pragma once
// The files cutter-sim reads and writes, each owned by an object that closes
// it; every failure says which file and why.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/platform/failure.h"
#include "stream_decoder.h"

class SimFile {
public:
    // fopen's modes ("rb", "wb", ...).
    Failure Open(const std::string& path, const char* mode);
    // A nameless file that goes when it is closed: a scratch copy.
    Failure OpenScratch();

    bool isOpen() const { return file_ != nullptr; }
    Failure Write(const char* data, size_t n);
    Failure Flush();
    // Hands the file from its start to the decoder, up to the footer or the
    // file's end, and ends the stream; `bytes` tells how many were read.
    Failure Decode(StreamConsumer& decoder, uint64_t& bytes);

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::string path_;
};

// Writes `text` as the whole of the file at `path`.
Failure WriteTextFile(const std::string& path, const std::string& text);
