#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "stream_to_port.h"
#include "test_support.h"

namespace {

// The port is one end of a pipe; the test reads what reached the other end.
struct StreamFixture {
    TempFolder folder;
    RecordingLink link;
    CutJob job;
    int pipeEnds[2] = {-1, -1};

    explicit StreamFixture(const std::string& stream) {
        signal(SIGPIPE, SIG_IGN);
        EXPECT_EQ(pipe(pipeEnds), 0);
        WriteFile(folder / "quelmar.th0", stream);
        job.paths.streamFile = folder / "quelmar.th0";
        job.hPort = pipeEnds[1];
        job.bToPort = 1;
        job.pDlg = &link;
        job.portWaitMs = 200;
        fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    }
    ~StreamFixture() {
        if (pipeEnds[0] >= 0) close(pipeEnds[0]);
        close(pipeEnds[1]);
    }
    std::string Received() {
        std::string got;
        char buffer[4096];
        ssize_t n;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) got.append(buffer, n);
        return got;
    }
};

using Events = std::vector<std::string>;

TEST(StreamToPort, ChunksOf1024WithTheRunningCounter) {
    StreamFixture exact(std::string(1024, 'a'));
    EXPECT_EQ(StreamToPort(exact.job).result, JobResult::Completed);
    EXPECT_EQ(exact.Received(), std::string(1024, 'a'));
    EXPECT_EQ(exact.link.events, (Events{"pos 0", "range 2", "step 1", "status 1124"}));

    StreamFixture oneMore(std::string(1025, 'b'));
    EXPECT_EQ(StreamToPort(oneMore.job).result, JobResult::Completed);
    EXPECT_EQ(oneMore.Received().size(), 1025u);
    EXPECT_EQ(oneMore.link.events,
              (Events{"pos 0", "range 2", "step 1", "status 1124", "stepit", "status 2248"}));

    StreamFixture three(std::string(3000, 'c'));
    StreamToPort(three.job);
    EXPECT_EQ(three.link.Count("status 3372"), 1);
    EXPECT_EQ(three.link.Count("stepit"), 2);
}

TEST(StreamToPort, EmptyStreamSendsNothing) {
    StreamFixture f("");
    EXPECT_EQ(StreamToPort(f.job).result, JobResult::Completed);
    EXPECT_EQ(f.link.events, (Events{"pos 0", "range 1", "step 1"}));
    EXPECT_EQ(f.Received(), "");
}

TEST(StreamToPort, CancelIsSeenAfterTheChunkInFlight) {
    StreamFixture f(std::string(5000, 'd'));
    f.link.cancelAfterPolls = 0;
    EXPECT_EQ(StreamToPort(f.job).result, JobResult::Cancelled);
    EXPECT_EQ(f.Received().size(), 1024u);
    EXPECT_EQ(f.link.events.back(), "status 1124");
}

TEST(StreamToPort, MissingStreamFileSendsNothing) {
    StreamFixture f("x");
    f.job.paths.streamFile = f.folder / "absent.th0";
    EXPECT_EQ(StreamToPort(f.job).result, JobResult::StreamUnreadable);
    EXPECT_TRUE(f.link.events.empty());
}

TEST(StreamToPort, PortThatStopsAcceptingDataEndsTheStream) {
    // Nobody reads the pipe: once its buffer is full the chunk stays pending.
    StreamFixture f(std::string(4 << 20, 'e'));
    EXPECT_EQ(StreamToPort(f.job).result, JobResult::PortTimedOut);
    EXPECT_LT(f.Received().size(), 4u << 20);
}

TEST(StreamToPort, PortThatRefusesDataEndsTheStream) {
    StreamFixture f(std::string(3000, 'f'));
    close(f.pipeEnds[0]);
    f.pipeEnds[0] = -1;
    EXPECT_EQ(StreamToPort(f.job).result, JobResult::PortWriteFailed);
    EXPECT_EQ(f.link.Count("status 1124"), 0);
}

TEST(CutJob, PortModeConvertsStreamsAndPostsDoneOnce) {
    TempFolder folder;
    WriteFile(folder / "Quelmar.plt", worked_square::kPlot);
    StreamFixture f("");
    f.job.paths.plotFile = folder / "Quelmar.plt";
    EXPECT_EQ(RunCutJob(f.job).result, JobResult::Completed);
    EXPECT_EQ(f.Received(), worked_square::kPlainPort);
    EXPECT_EQ(f.link.doneCount, 1);
    // The stream file stays for the dialog's clean-up to remove.
    EXPECT_TRUE(std::filesystem::exists(f.job.paths.streamFile));
}

}  // namespace
#endif
