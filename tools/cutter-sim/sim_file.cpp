// cutter-sim's files opened, written and closed through owning objects, each failure kept
// with the file's name and the system's reason.
#include "sim_file.h"

#include <cerrno>
#include <vector>

#include "receive_loop.h"

Failure SimFile::Open(const std::string& path, const char* mode) {
    path_ = path;
    errno = 0;
    file_.reset(std::fopen(path.c_str(), mode));
    return file_ ? Failure() : Failure::Last(path);
}

Failure SimFile::OpenScratch() {
    path_ = "the scratch copy of the stream";
    errno = 0;
    file_.reset(std::tmpfile());
    return file_ ? Failure() : Failure::Last(path_, "cannot make it");
}

Failure SimFile::Write(const char* data, size_t n) {
    errno = 0;
    if (std::fwrite(data, 1, n, file_.get()) != n) return Failure::Last(path_, "write failed");
    return {};
}

Failure SimFile::Flush() {
    errno = 0;
    if (std::fflush(file_.get()) != 0) return Failure::Last(path_, "write failed");
    return {};
}

Failure SimFile::Decode(StreamConsumer& decoder, uint64_t& bytes) {
    bytes = 0;
    errno = 0;
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return Failure::Last(path_, "cannot read");
    std::vector<char> piece(64 * 1024);
    for (;;) {
        const size_t got = std::fread(piece.data(), 1, piece.size(), file_.get());
        decoder.Feed(piece.data(), got);
        bytes += got;
        // Nothing after the footer counts, and a device need not end; a
        // stop signal ends the replay of a copy between blocks.
        if (got < piece.size() || decoder.finished() || ReceiveStopRequested()) break;
    }
    if (std::ferror(file_.get())) return Failure::Last(path_, "cannot read");
    decoder.EndOfStream();
    return {};
}

Failure WriteTextFile(const std::string& path, const std::string& text) {
    SimFile file;
    if (Failure error = file.Open(path, "wb")) return error;
    if (Failure error = file.Write(text.data(), text.size())) return error;
    return file.Flush();
}
