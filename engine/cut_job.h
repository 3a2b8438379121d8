#pragma once
#include <cstdint>
#include <filesystem>

#include "engine/exchange_paths.h"
#include "engine/job_link.h"
#include "engine/job_outcome.h"
#include "engine/platform/native_types.h"

class OutputFile;
class PassInput;

// The exchange files a job reads and writes; tests and tools point them elsewhere.
struct ExchangePaths {
    std::filesystem::path plotFile{harvel::kPlotFile};      // opened again by pass 2
    std::filesystem::path streamFile{harvel::kStreamFile};  // port mode output
};

// The job record from the dialog to the worker. The dialog allocates it on the
// heap; the worker takes ownership and frees it at once after copying it.
struct CutJob {
    PortHandle hPort = kNoPort;     // read only in port mode
    std::filesystem::path strPath;  // output in file mode
    int32_t nOffsetUnits = 0;       // knife offset, 1/40 mm; 0 when off
    int32_t nOvercutUnits = 0;      // overcut length, 1/40 mm; 0 when off
    int32_t bToPort = 0;            // non-zero: stream to the port
    JobLink* pDlg = nullptr;        // cancel flag, progress, status, done
    ExchangePaths paths;            // tests and tools run jobs elsewhere
};

// The worker thread's entry: takes ownership of the CutJob, runs it and returns 0.
unsigned CutJobThread(void* job);

// Runs the whole job on the calling thread and posts the done notification once.
JobOutcome RunCutJob(const CutJob& job);

// Both passes only: the output (the stream file in port mode, strPath in file
// mode) is written, flushed to disk and not sent, and no done notification is
// posted. An output that is the plot file itself is refused before anything
// is written.
JobOutcome ConvertPlotFile(const CutJob& job);
// The same over another input than the plot file, such as the tools' HPGL reader.
JobOutcome ConvertPlotFile(const CutJob& job, PassInput& input);

// Port mode's passes for sending: the stream file is written through `stream`,
// which stays open and is what StreamToPort sends, so the bytes sent are this
// conversion's whatever happens to the file's name meanwhile. A stream of
// 4 GiB or more is refused.
JobOutcome ConvertForSending(const CutJob& job, OutputFile& stream);
JobOutcome ConvertForSending(const CutJob& job, PassInput& input, OutputFile& stream);
