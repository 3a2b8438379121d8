// Whole jobs on files in a folder of their own: the output and its progress steps, a cancel
// at every poll keeping an older file, and each way a job fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "engine/cut_job.h"
#include "test_support.h"

namespace {

using namespace worked_square;
const std::string kSquare = kPlot;

// A job on files in a folder of its own instead of C:\Harvel.
struct JobFixture {
    TempFolder folder;
    RecordingLink link;
    CutJob job;

    explicit JobFixture(const std::string& plot) {
        WriteFile(folder / "Quelmar.plt", plot);
        job.paths.plotFile = folder / "Quelmar.plt";
        job.paths.streamFile = folder / "quelmar.th0";
        job.strPath = folder / "out.PLT";
        job.pDlg = &link;
    }
    JobResult Run() { return RunCutJob(job).result; }
};

TEST(CutJob, FileModeWritesTheChosenPath) {
    JobFixture f(kSquare);
    f.job.nOffsetUnits = kOffsetUnits;
    f.job.nOvercutUnits = kOvercutUnits;
    EXPECT_EQ(f.Run(), JobResult::Completed);
    EXPECT_EQ(ReadFile(f.job.strPath), kCompensatedFile);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_EQ(f.link.lastResult, JobResult::Completed);
    EXPECT_FALSE(std::filesystem::exists(f.job.paths.streamFile));
    // Nothing but the plot file and the output remain: no temporary left over.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(CutJob, CutJobThreadTakesOwnershipOfTheRecord) {
    JobFixture f(kSquare);
    // The heap record is freed by the worker (the sanitizer build checks it).
    EXPECT_EQ(CutJobThread(new CutJob(f.job)), 0u);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_EQ(ReadFile(f.job.strPath), kPlainFile);
}

TEST(CutJob, TwoJobsSideBySideEachGiveTheirOwnOutput) {
    // The same square far from the origin maps to the same place, but only by
    // its own extent: a job that used the other's would cut elsewhere.
    JobFixture near(kSquare);
    near.job.nOffsetUnits = kOffsetUnits;
    near.job.nOvercutUnits = kOvercutUnits;
    JobFixture far("PU90000,-7000;PD90000,-6800;PD90200,-6800;PD90200,-7000;PD90000,-7000;");
    int nearWrong = 0;
    int farWrong = 0;
    auto runRepeatedly = [](JobFixture& f, const std::string& expected, int& wrong) {
        for (int i = 0; i < 50; ++i)
            wrong += f.Run() != JobResult::Completed || ReadFile(f.job.strPath) != expected;
    };
    std::thread first(runRepeatedly, std::ref(near), kCompensatedFile, std::ref(nearWrong));
    std::thread second(runRepeatedly, std::ref(far), kPlainFile, std::ref(farWrong));
    first.join();
    second.join();
    EXPECT_EQ(nearWrong, 0);
    EXPECT_EQ(farWrong, 0);
}

#ifndef _WIN32  // on Windows that name is never used, and a file under it is left alone
TEST(CutJob, StaleReadOnlyPartialFileIsReplaced) {
    JobFixture f(kSquare);
    const auto partial = f.folder / "out.PLT.partial";
    WriteFile(partial, std::string(5000, 'x'));
    std::filesystem::permissions(partial, std::filesystem::perms::owner_read);
    EXPECT_EQ(f.Run(), JobResult::Completed);
    EXPECT_EQ(ReadFile(f.job.strPath), kPlainFile);
    EXPECT_FALSE(std::filesystem::exists(partial));
}
#endif

TEST(CutJob, EmptyAndCommandlessInputsGiveHeaderAndFooter) {
    JobFixture empty("");
    EXPECT_EQ(empty.Run(), JobResult::Completed);
    EXPECT_EQ(ReadFile(empty.job.strPath), "IN;U0,0;@;@;@;");
    JobFixture noCommands("IN;SP1;\r\n");
    EXPECT_EQ(noCommands.Run(), JobResult::Completed);
    EXPECT_EQ(ReadFile(noCommands.job.strPath), "IN;U0,0;@;@;@;");
}

TEST(CutJobProgress, RangeCountsKilobyteBlocksAndStepsOncePerBlock) {
    // Padding after the commands is skipped by the scan.
    JobFixture small(kSquare + std::string(1023 - kSquare.size(), ' '));
    small.Run();
    EXPECT_EQ(small.link.events, (std::vector<std::string>{"start scan 1023", "start cut 1023"}));

    JobFixture exact(kSquare + std::string(1024 - kSquare.size(), ' '));
    exact.Run();
    EXPECT_EQ(exact.link.events, (std::vector<std::string>{"start scan 1024", "start cut 1024"}));

    // 3000 bytes of commands: blocks 1 and 2 are entered once in each pass.
    std::string many;
    for (int i = 0; many.size() < 3000; ++i) many += "PD" + std::to_string(i % 97) + ",5;";
    many.resize(3000 - 1);
    many += ";";
    JobFixture large(many);
    large.Run();
    EXPECT_EQ(large.link.Count("start scan 3000"), 1);
    EXPECT_EQ(large.link.Count("start cut 3000"), 1);
    EXPECT_EQ(large.link.Count("at "), 4);
}

TEST(CutJobEnds, MissingInputEndsAtOnce) {
    JobFixture f(kSquare);
    f.job.paths.plotFile = f.folder / "absent.plt";
    EXPECT_EQ(f.Run(), JobResult::InputUnreadable);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_TRUE(f.link.events.empty());
    EXPECT_FALSE(std::filesystem::exists(f.job.strPath));
}

#ifndef _WIN32  // Windows keeps a file that is open for reading from being removed
TEST(CutJobEnds, InputVanishingBetweenThePasses) {
    // Removes the plot file at the first cancel check: pass 1 reads on from its
    // open handle, pass 2 finds no file to open.
    struct RemovingLink : RecordingLink {
        std::filesystem::path plotFile;
        bool IsCancelRequested() override {
            std::filesystem::remove(plotFile);
            return RecordingLink::IsCancelRequested();
        }
    };
    JobFixture f(kSquare);
    RemovingLink link;
    link.plotFile = f.job.paths.plotFile;
    f.job.pDlg = &link;
    EXPECT_EQ(f.Run(), JobResult::InputUnreadable);
    EXPECT_GT(link.cancelPolls, 1);  // pass 1 ran to its end
    EXPECT_EQ(link.doneCount, 1);
    EXPECT_FALSE(std::filesystem::exists(f.job.strPath));
}
#endif

TEST(CutJobEnds, DrawingShortenedWhileReadFailsAndLeavesNothing) {
    // More than one read block, so that reading goes on after the cut.
    std::string plot;
    while (plot.size() < 200000) plot += "PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;";
    struct NotingPassTwo : RecordingLink {
        int pass1Polls = 0;
        void StageStarted(JobStage stage, uint32_t length) override {
            if (stage == JobStage::Conversion) pass1Polls = cancelPolls;
            RecordingLink::StageStarted(stage, length);
        }
    };
    JobFixture whole(plot);
    NotingPassTwo counter;
    whole.job.pDlg = &counter;
    ASSERT_EQ(whole.Run(), JobResult::Completed);

    // Cut at pass 1's first poll, at its last (between the passes), and in pass 2.
    struct Truncating : RecordingLink {
        std::filesystem::path plotFile;
        int atPoll = 0;
        bool IsCancelRequested() override {
            if (cancelPolls + 1 == atPoll) std::filesystem::resize_file(plotFile, 100);
            return RecordingLink::IsCancelRequested();
        }
    };
    for (int atPoll : {1, counter.pass1Polls, counter.pass1Polls + 1}) {
        SCOPED_TRACE(atPoll);
        JobFixture f(plot);
        WriteFile(f.job.strPath, "older drawing");
        Truncating link;
        link.plotFile = f.job.paths.plotFile;
        link.atPoll = atPoll;
        f.job.pDlg = &link;
        EXPECT_EQ(f.Run(), JobResult::InputChanged);
        EXPECT_EQ(link.doneCount, 1);
        EXPECT_EQ(ReadFile(f.job.strPath), "older drawing");
        // The plot file and the older output alone: no partial file.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.path()),
                                std::filesystem::directory_iterator()),
                  2);
    }
}

TEST(CutJobEnds, OutputThatCannotBeCreated) {
    JobFixture f(kSquare);
    f.job.strPath = f.folder / "no such folder" / "out.plt";
    EXPECT_EQ(f.Run(), JobResult::OutputNotCreated);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_EQ(ReadFile(f.job.paths.plotFile), kSquare);
}

TEST(CutJobEnds, OutputThatIsThePlotFileItselfIsRefusedAndTheDrawingKept) {
    JobFixture f(kSquare);
#ifdef _WIN32
    f.job.strPath = f.folder / "QUELMAR.PLT";  // the same file, spelt otherwise
#else
    std::filesystem::create_symlink("Quelmar.plt", f.folder / "link.plt");
    f.job.strPath = f.folder / "link.plt";
#endif
    const JobOutcome outcome = RunCutJob(f.job);
    EXPECT_EQ(outcome.result, JobResult::OutputNotCreated);
    EXPECT_EQ(outcome.reason.refusal(), Refusal::OutputIsDrawing);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_EQ(ReadFile(f.job.paths.plotFile), kSquare);
    EXPECT_FALSE(std::filesystem::exists(f.job.paths.plotFile.string() + ".partial"));
}

TEST(CutJobEnds, CancelAtEveryPollLeavesNoOutputAndKeepsAnOlderFile) {
    std::string plot;
    for (int i = 0; i < 40; ++i) plot += "PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;";
    // Count the polls of an uncancelled run, then cancel at each one in turn.
    JobFixture whole(plot);
    whole.Run();
    const int polls = whole.link.cancelPolls;
    ASSERT_GT(polls, 40);
    for (int cancelAt = 0; cancelAt < polls; ++cancelAt) {
        SCOPED_TRACE(cancelAt);
        JobFixture f(plot);
        WriteFile(f.job.strPath, "older drawing");
        f.link.cancelAfterPolls = cancelAt;
        EXPECT_EQ(f.Run(), JobResult::Cancelled);
        EXPECT_EQ(f.link.doneCount, 1);
        EXPECT_EQ(f.link.cancelPolls, cancelAt + 1);  // stops at the first cancel seen
        EXPECT_EQ(ReadFile(f.job.strPath), "older drawing");
        EXPECT_EQ(ReadFile(f.job.paths.plotFile), plot);
    }
}

// Fails every write once `limit` bytes have gone through, like a full disk.
class FullDiskWriter : public ByteWriter {
public:
    explicit FullDiskWriter(size_t limit) : limit_(limit) {}
    SystemError WriteAll(const char*, size_t n) override {
        ++calls;
        if (written + n > limit_) return SystemError(ENOSPC);
        written += n;
        return {};
    }
    size_t written = 0;
    int calls = 0;

private:
    size_t limit_;
};

TEST(CutJobEnds, WriteFailingHalfWayStopsThePass) {
    std::string plot;
    for (int i = 0; i < 20000; ++i) plot += "PU0,0;PD0," + std::to_string(i % 500 + 1) + ";";
    RecordingLink link;
    ProgressSteps progress(link);
    FullDiskWriter disk(100000);
    BufferedOutput out(disk);
    const auto* data = reinterpret_cast<const uint8_t*>(plot.data());
    const auto length = static_cast<uint32_t>(plot.size());
    PlotExtent extent;
    MemoryReader first(data, length);
    RunExtentPass(first, length, link, progress, extent);
    const int pollsBefore = link.cancelPolls;
    MemoryReader second(data, length);
    const JobOutcome outcome =
        RunCutPass(second, length, extent, CutSettings{}, out, link, progress);
    EXPECT_EQ(outcome.result, JobResult::OutputWriteFailed);
    EXPECT_EQ(outcome.reason.code(), ENOSPC);
    // Blocks of 64 KiB: one good block, one refused, and nothing after it.
    EXPECT_EQ(disk.calls, 2);
    EXPECT_LT(link.cancelPolls - pollsBefore, 20000);
}

}  // namespace
