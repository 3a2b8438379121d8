#include <gtest/gtest.h>

#include "cut_job.h"
#include "test_support.h"

namespace {

const std::string kSquare = "IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;";

// A job on files in a folder of its own instead of C:\Harvel.
struct JobFixture {
    TempFolder folder;
    RecordingLink link;
    CutJob job;

    explicit JobFixture(const std::string& plot) {
        WriteFile(folder / "Quelmar.plt", plot);
        job.paths.plotFile = folder / "Quelmar.plt";
        job.paths.plotFileAgain = folder / "Quelmar.plt";
        job.paths.streamFile = folder / "quelmar.th0";
        job.strPath = folder / "out.PLT";
        job.pDlg = &link;
    }
    JobResult Run() { return RunCutJob(job); }
};

TEST(CutJob, FileModeWritesTheChosenPath) {
    JobFixture f(kSquare);
    f.job.nOffsetUnits = 20;
    f.job.nOvercutUnits = 300;
    EXPECT_EQ(f.Run(), JobResult::Completed);
    EXPECT_EQ(ReadFile(f.job.strPath),
              "IN;U240,40;D20,40;D40,60;D40,260;D60,240;D260,240;D240,220;D240,20;D230,41;"
              "D20,40;D40,60;D40,120;U0,0;@;@;@;");
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
    EXPECT_EQ(ReadFile(f.job.strPath), "IN;U240,40;D40,40;D40,240;D240,240;D240,40;U0,0;@;@;@;");
}

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
    EXPECT_EQ(small.link.events,
              (std::vector<std::string>{"range 1", "step 1", "range 1", "step 1"}));

    JobFixture exact(kSquare + std::string(1024 - kSquare.size(), ' '));
    exact.Run();
    EXPECT_EQ(exact.link.events,
              (std::vector<std::string>{"range 2", "step 1", "range 2", "step 1"}));

    // 3000 bytes of commands: blocks 1 and 2 are entered once in each pass.
    std::string many;
    for (int i = 0; many.size() < 3000; ++i) many += "PD" + std::to_string(i % 97) + ",5;";
    many.resize(3000 - 1);
    many += ";";
    JobFixture large(many);
    large.Run();
    EXPECT_EQ(large.link.Count("range 3"), 2);
    EXPECT_EQ(large.link.Count("stepit"), 4);
}

TEST(CutJobEnds, MissingInputEndsAtOnce) {
    JobFixture f(kSquare);
    f.job.paths.plotFile = f.folder / "absent.plt";
    EXPECT_EQ(f.Run(), JobResult::InputUnreadable);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_TRUE(f.link.events.empty());
    EXPECT_FALSE(std::filesystem::exists(f.job.strPath));
}

TEST(CutJobEnds, InputVanishingBetweenThePasses) {
    JobFixture f(kSquare);
    f.job.paths.plotFileAgain = f.folder / "gone.plt";
    EXPECT_EQ(f.Run(), JobResult::InputUnreadable);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_FALSE(std::filesystem::exists(f.job.strPath));
}

TEST(CutJobEnds, OutputThatCannotBeCreated) {
    JobFixture f(kSquare);
    f.job.strPath = f.folder / "no such folder" / "out.plt";
    EXPECT_EQ(f.Run(), JobResult::OutputNotCreated);
    EXPECT_EQ(f.link.doneCount, 1);
    EXPECT_EQ(ReadFile(f.job.paths.plotFile), kSquare);
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
    bool WriteAll(const char* data, size_t n) override {
        ++calls;
        if (written + n > limit_) return false;
        written += n;
        (void)data;
        return true;
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
    RunExtentPass(data, static_cast<uint32_t>(plot.size()), link, progress);
    const int pollsBefore = link.cancelPolls;
    EXPECT_EQ(
        RunCutPass(data, static_cast<uint32_t>(plot.size()), CutSettings{}, out, link, progress),
        JobResult::OutputWriteFailed);
    // Blocks of 64 KiB: one good block, one refused, and nothing after it.
    EXPECT_EQ(disk.calls, 2);
    EXPECT_LT(link.cancelPolls - pollsBefore, 20000);
}

}  // namespace
