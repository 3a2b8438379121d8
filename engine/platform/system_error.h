#pragma once
// Why a call at the program's edge failed, kept so that whoever reports the
// failure can say why: the operating system's code (errno on POSIX,
// GetLastError() on Windows), or, where no system call failed, a refusal of
// the project's own. A refusal is never dressed up as a system code.
#include <cstdint>
#include <string>

// The refusals the project makes itself; each has one text for people.
enum class Refusal : uint8_t {
    None,
    TooLarge,           // a file or a stream of 4 GiB or more: the engine counts in 32 bits
    ChangedWhileRead,   // the drawing changed its length while a job read it
    NotRegularFile,     // a drawing that is a FIFO or a device
    TakenByAnotherJob,  // another conversion holds the output's temporary file
    Folder,             // a drawing or an output that is a folder
    DiskDevice,         // an output that is a disk: a plot file is never written onto one
    NotPlainFile,       // a new temporary file that is no plain file on a disk (Windows)
    OutputIsDrawing,    // an output that is the job's own drawing, by whatever name
    BytesLost,          // the system took no bytes, or gave back fewer, without a reason
    NotOpen,            // a file or port used before it was opened
    LineLost,           // the port's line hung up or went away without a reason
};

class SystemError {
public:
    SystemError() = default;  // no failure
    explicit SystemError(int code) : code_(code) {}
    explicit SystemError(Refusal refusal) : refusal_(refusal) {}

    // The reason the last system call on this thread failed. A call that
    // failed without leaving a code still counts as a failure (an I/O error).
    static SystemError Last();

    // The system's code; 0 for a refusal of our own.
    int code() const { return code_; }
    Refusal refusal() const { return refusal_; }
    explicit operator bool() const { return code_ != 0 || refusal_ != Refusal::None; }
    // The refusal's text, or the system's own for the code (strerror / FormatMessage).
    std::string Message() const {
        switch (refusal_) {
            case Refusal::None: break;
            case Refusal::TooLarge: return "File too large";
            case Refusal::ChangedWhileRead: return "the drawing changed while it was read";
            case Refusal::NotRegularFile: return "not a regular file (a FIFO, a device)";
            case Refusal::TakenByAnotherJob: return "another conversion is writing it";
            case Refusal::Folder: return "a folder, not a file";
            case Refusal::DiskDevice: return "a disk device, not a file";
            case Refusal::NotPlainFile: return "not a plain file on a disk";
            case Refusal::OutputIsDrawing: return "it is the drawing itself";
            case Refusal::BytesLost: return "bytes written were lost, the system gave no reason";
            case Refusal::NotOpen: return "not open";
            case Refusal::LineLost: return "the line hung up (unplugged or switched off?)";
        }
        return SystemMessage();
    }

private:
    std::string SystemMessage() const;
    int code_ = 0;
    Refusal refusal_ = Refusal::None;
};
