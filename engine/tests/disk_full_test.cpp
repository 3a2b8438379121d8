// A disk filling up part way through a job (POSIX): it fails with the system's reason, and
// the older output file and the plot file stay as they were.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/cut_job.h"
#include "test_support.h"

namespace {

// A real output file on a "disk" that fills up part way: the file size limit
// makes write() fail with EFBIG once 100 kB are written. Run in a child process
// so that the limit stays there.
TEST(CutJobEnds, DiskFillingUpKeepsTheOlderFileAndTheInput) {
    TempFolder folder;
    std::string plot;
    for (int i = 0; i < 40000; ++i) plot += "PU0,0;PD0," + std::to_string(i % 900 + 1) + ";";
    WriteFile(folder / "Quelmar.plt", plot);
    WriteFile(folder / "out.PLT", "older drawing");

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingLink link;
        CutJob job;
        job.paths.plotFile = folder / "Quelmar.plt";
        job.strPath = folder / "out.PLT";
        job.pDlg = &link;
        const JobOutcome outcome = RunCutJob(job);
        // The system's reason comes along with the failure.
        _exit(outcome.result == JobResult::OutputWriteFailed && outcome.reason.code() == EFBIG &&
                      link.doneCount == 1
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(folder / "out.PLT"), "older drawing");
    EXPECT_EQ(ReadFile(folder / "Quelmar.plt"), plot);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.PLT.partial"));
}

}  // namespace
#endif
