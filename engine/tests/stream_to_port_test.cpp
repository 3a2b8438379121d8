// Streaming to a pipe in the port's place: 1024-byte chunks, each reported, a held line
// waited out, a cancel during a hold, and a vanished port's reason.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "engine/platform/output_file.h"
#include "engine/stream_to_port.h"
#include "test_support.h"

namespace {

// The port is one end of a pipe; the test reads what reached the other end.
struct StreamFixture {
    TempFolder folder;
    RecordingLink link;
    CutJob job;
    OutputFile stream;  // written as the conversion writes it, and sent through
    int pipeEnds[2] = {-1, -1};

    explicit StreamFixture(const std::string& bytes) {
        signal(SIGPIPE, SIG_IGN);
        EXPECT_EQ(pipe(pipeEnds), 0);
        job.paths.streamFile = folder / "quelmar.th0";
        EXPECT_FALSE(stream.Create(job.paths.streamFile));
        EXPECT_FALSE(stream.WriteAll(bytes.data(), bytes.size()));
        EXPECT_FALSE(stream.Commit(OutputFile::Durability::Unflushed));
        job.hPort = pipeEnds[1];
        job.bToPort = 1;
        job.pDlg = &link;
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
    // Reads as the cutter would, waiting for bytes, until `size` have come.
    std::string ReceiveUntil(size_t size) {
        std::string got;
        char buffer[65536];
        while (got.size() < size) {
            pollfd pfd{pipeEnds[0], POLLIN, 0};
            if (poll(&pfd, 1, 10000) <= 0) break;
            const ssize_t n = read(pipeEnds[0], buffer, std::min(sizeof buffer, size - got.size()));
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }
    // Reads as the cutter would until the stream's ending has come.
    std::string ReceiveUntilEnding() {
        const std::string ending = "U0,0;@;@;@;";
        std::string got;
        char buffer[65536];
        while (got.size() < ending.size() ||
               got.compare(got.size() - ending.size(), ending.size(), ending) != 0) {
            pollfd pfd{pipeEnds[0], POLLIN, 0};
            if (poll(&pfd, 1, 10000) <= 0) break;
            const ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }
};

using Events = std::vector<std::string>;
using namespace std::chrono_literals;

// Numbered text: a chunk sent twice or skipped shows in the bytes received.
std::string NumberedStream(size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i) text += std::to_string(i) + ";";
    text.resize(size);
    return text;
}

// Pen moves as the engine writes them, between its header and its ending.
std::string CommandStream(size_t size) {
    std::string text = "CDR;";
    for (int i = 0; text.size() < size; ++i)
        text += "U" + std::to_string(1832 + i) + ",1524;D" + std::to_string(2000 + i) + ",170;";
    return text + "U0,0;@;@;@;";
}

// A link whose cancel the test sets from another thread, like the dialog's.
struct CancelFromOutside : RecordingLink {
    std::atomic<bool> cancel{false};
    bool IsCancelRequested() override {
        RecordingLink::IsCancelRequested();
        return cancel;
    }
};

TEST(StreamToPort, ChunksOf1024EachReported) {
    StreamFixture exact(std::string(1024, 'a'));
    EXPECT_EQ(StreamToPort(exact.job, exact.stream).result, JobResult::Completed);
    EXPECT_EQ(exact.Received(), std::string(1024, 'a'));
    EXPECT_EQ(exact.link.events, (Events{"start stream 1024", "chunk 1 1024"}));

    StreamFixture oneMore(std::string(1025, 'b'));
    EXPECT_EQ(StreamToPort(oneMore.job, oneMore.stream).result, JobResult::Completed);
    EXPECT_EQ(oneMore.Received().size(), 1025u);
    EXPECT_EQ(oneMore.link.events,
              (Events{"start stream 1025", "chunk 1 1024", "at 1024", "chunk 2 1025"}));

    StreamFixture three(std::string(3000, 'c'));
    StreamToPort(three.job, three.stream);
    EXPECT_EQ(three.link.Count("chunk 3 3000"), 1);
    EXPECT_EQ(three.link.Count("at "), 2);
}

TEST(StreamToPort, EmptyStreamSendsNothing) {
    StreamFixture f("");
    EXPECT_EQ(StreamToPort(f.job, f.stream).result, JobResult::Completed);
    EXPECT_EQ(f.link.events, (Events{"start stream 0"}));
    EXPECT_EQ(f.Received(), "");
}

TEST(StreamToPort, CancelEndsTheCommandInFlightThenSendsTheEnding) {
    // The first chunk ends inside "D...;": its rest and the ending follow it.
    const std::string stream = CommandStream(5000);
    ASSERT_NE(stream[1023], ';');
    StreamFixture f(stream);
    f.link.cancelAfterPolls = 0;
    StreamStop stop;
    EXPECT_EQ(StreamToPort(f.job, f.stream, {}, stop).result, JobResult::Cancelled);
    const size_t commandEnd = stream.find(';', 1024) + 1;
    EXPECT_EQ(f.Received(), stream.substr(0, commandEnd) + "U0,0;@;@;@;");
    EXPECT_EQ(stop.taken, 1024u);
    EXPECT_EQ(stop.ending, StopEnding::Ended);
    EXPECT_EQ(f.link.events.back(), "chunk 1 1024");
}

TEST(StopTail, EndsTheCommandInFlightOrTheEndingItself) {
    StreamFixture f("CDR;U10,20;D30,40;U0,0;@;@;@;");
    const SentStream sent(f.stream, {});
    std::string tail;
    EXPECT_FALSE(StopTail(sent, 0, tail));
    EXPECT_EQ(tail, "");  // nothing had gone: the cutter is as it was
    StopTail(sent, 2, tail);
    EXPECT_EQ(tail, "R;U0,0;@;@;@;");
    StopTail(sent, 11, tail);
    EXPECT_EQ(tail, "U0,0;@;@;@;");  // between two commands
    StopTail(sent, 13, tail);
    EXPECT_EQ(tail, "0,40;U0,0;@;@;@;");
    StopTail(sent, 23, tail);
    EXPECT_EQ(tail, "@;@;@;");  // inside the ending: its rest
    StopTail(sent, 29, tail);
    EXPECT_EQ(tail, "");
}

TEST(StreamToPort, ResumedStreamLeavesTheGapOutAndCountsWhatItSends) {
    const std::string stream = "CDR;U1,1;D2,2;U3,3;D4,4;U0,0;@;@;@;";
    StreamFixture f(stream);
    f.link.cancelAfterPolls = 0;
    StreamStop stop;
    // From the second contour: the header, then from its pen-up move on.
    const uint32_t second = static_cast<uint32_t>(stream.find("U3"));
    EXPECT_EQ(StreamToPort(f.job, f.stream, {4, second}, stop).result, JobResult::Cancelled);
    EXPECT_EQ(f.Received(), "CDR;" + stream.substr(second));
    EXPECT_EQ(f.link.events, (Events{"start stream 25", "chunk 1 25"}));
    EXPECT_EQ(stop.taken, 25u);
}

TEST(StreamToPort, StreamThatIsNotOpenSendsNothing) {
    StreamFixture f("x");
    f.stream.Discard();
    EXPECT_EQ(StreamToPort(f.job, f.stream).result, JobResult::StreamUnreadable);
    EXPECT_TRUE(f.link.events.empty());
}

TEST(StreamToPort, HeldLineIsWaitedOutAndTheStreamGoesOnWhereItStopped) {
    // The cutter reads nothing for 600 ms: the pipe fills and the writer waits
    // across many slices, then every byte arrives once, in order.
    const std::string stream = NumberedStream(300000);
    StreamFixture f(stream);
    std::string got;
    std::thread cutter([&] {
        std::this_thread::sleep_for(600ms);
        got = f.ReceiveUntil(stream.size());
    });
    EXPECT_EQ(StreamToPort(f.job, f.stream).result, JobResult::Completed);
    cutter.join();
    EXPECT_EQ(got, stream);
    const int chunks = (300000 + 1023) / 1024;
    EXPECT_EQ(f.link.events.back(), "chunk " + std::to_string(chunks) + " 300000");
    EXPECT_EQ(f.link.events.size(), 1 + chunks + (chunks - 1));  // no chunk nor step twice
}

TEST(StreamToPort, CancelDuringAHoldEndsTheCommandOnceTheLineFrees) {
    // The driver's bytes go first, then the rest of the command and the
    // ending, as soon as the cutter reads again within the wait.
    const std::string stream = CommandStream(1 << 20);
    StreamFixture f(stream);
    CancelFromOutside link;
    f.job.pDlg = &link;
    std::string got;
    std::thread dialogAndCutter([&] {
        std::this_thread::sleep_for(300ms);  // nobody reads: the line is held by now
        link.cancel = true;
        std::this_thread::sleep_for(500ms);
        got = f.ReceiveUntilEnding();
    });
    StreamStop stop;
    EXPECT_EQ(StreamToPort(f.job, f.stream, {}, stop).result, JobResult::Cancelled);
    dialogAndCutter.join();
    EXPECT_EQ(stop.ending, StopEnding::Ended);
    const size_t commandEnd = stream.find(';', stop.taken - 1) + 1;
    EXPECT_EQ(got, stream.substr(0, commandEnd) + "U0,0;@;@;@;");
    EXPECT_LT(got.size(), (static_cast<size_t>(link.Count("chunk ")) + 2) * 1024);
}

TEST(StreamToPort, CancelWhileTheLineStaysHeldGivesUpAfterTheWait) {
    const std::string stream = CommandStream(1 << 20);
    StreamFixture f(stream);
    CancelFromOutside link;
    f.job.pDlg = &link;
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread dialog([&] {
        std::this_thread::sleep_for(300ms);
        cancelledAt = std::chrono::steady_clock::now();
        link.cancel = true;
    });
    StreamStop stop;
    EXPECT_EQ(StreamToPort(f.job, f.stream, {}, stop).result, JobResult::Cancelled);
    const auto ended = std::chrono::steady_clock::now();
    dialog.join();
    EXPECT_EQ(stop.ending, StopEnding::LineHeld);
    EXPECT_GE(ended - cancelledAt, 1900ms);
    EXPECT_LT(ended - cancelledAt, 10s);
    const std::string got = f.Received();
    EXPECT_EQ(got, stream.substr(0, got.size()));
    EXPECT_EQ(got.size(), stop.taken);
}

TEST(StreamToPort, PortGoneMidStreamFailsWithTheSystemsReason) {
    StreamFixture f(NumberedStream(1 << 20));
    std::thread cutter([&] {
        f.ReceiveUntil(100000);
        std::this_thread::sleep_for(200ms);  // the writer waits on a full pipe
        close(f.pipeEnds[0]);
        f.pipeEnds[0] = -1;
    });
    const JobOutcome outcome = StreamToPort(f.job, f.stream);
    cutter.join();
    EXPECT_EQ(outcome.result, JobResult::PortWriteFailed);
    EXPECT_EQ(outcome.reason.code(), EPIPE);
}

TEST(CutJob, TheCutterGetsThisConversionWhateverTakesTheStreamFilesNameMeanwhile) {
    TempFolder folder;
    WriteFile(folder / "Quelmar.plt", worked_square::kPlot);
    StreamFixture f("");
    f.stream.Discard();
    f.job.paths.plotFile = folder / "Quelmar.plt";
    ASSERT_EQ(ConvertForSending(f.job, f.stream).result, JobResult::Completed);
    // Another writer, between the conversion and the sending, puts a stream of
    // its own under the stream file's name.
    WriteFile(folder / "other.th0", "CDR;U9000,9000;D1,1;U0,0;@;@;@;");
    std::filesystem::rename(folder / "other.th0", f.job.paths.streamFile);
    EXPECT_EQ(StreamToPort(f.job, f.stream).result, JobResult::Completed);
    EXPECT_EQ(f.Received(), worked_square::kPlainPort);
}

TEST(CutJob, PortModeConvertsStreamsAndPostsDoneOnce) {
    TempFolder folder;
    WriteFile(folder / "Quelmar.plt", worked_square::kPlot);
    StreamFixture f("");
    f.job.paths.plotFile = folder / "Quelmar.plt";
    f.stream.Discard();
    EXPECT_EQ(RunCutJob(f.job).result, JobResult::Completed);
    EXPECT_EQ(f.Received(), worked_square::kPlainPort);
    EXPECT_EQ(f.link.doneCount, 1);
    // The stream file stays for the dialog's clean-up to remove.
    EXPECT_TRUE(std::filesystem::exists(f.job.paths.streamFile));
}

}  // namespace
#endif
