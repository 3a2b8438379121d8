// The output file's rules that keep a user's files whole: one job per target,
// devices written in place, links followed, a size limit, and (Windows) no
// other writer while the file is held.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <thread>

#include "platform/file_size_limit.h"
#include "platform/output_file.h"
#include "test_support.h"

namespace {

SystemError WriteText(OutputFile& out, const std::string& text) {
    return out.WriteAll(text.data(), text.size());
}

TEST(OutputFile, SecondJobToTheSameTargetIsRefusedAndTheFirstStaysExact) {
    TempFolder folder;
    const auto target = folder / "out.plt";
    OutputFile first;
    ASSERT_FALSE(first.Create(target));
    EXPECT_FALSE(WriteText(first, "first half,"));
    {
        OutputFile second;
        EXPECT_TRUE(second.Create(target));  // refused, and it removes nothing
        EXPECT_TRUE(WriteText(second, "second"));
    }
    EXPECT_FALSE(WriteText(first, " second half"));
    EXPECT_FALSE(first.Commit(OutputFile::Durability::Flushed));
    EXPECT_EQ(ReadFile(target), "first half, second half");
}

TEST(OutputFile, WritesBeyondTheLimitFailAsTooLarge) {
    TempFolder folder;
    OutputFile out;
    ASSERT_FALSE(out.Create(folder / "stream.th0"));
    out.LimitSize(10);
    EXPECT_FALSE(WriteText(out, "0123456789"));
    EXPECT_EQ(WriteText(out, "!").code(), CheckFileSize(kLargestFileSize + 1).code());
}

TEST(FileSizeLimit, FourGibibytesAndMoreAreRefused) {
    // The seam through which a drawing's size reaches the rule on both sides;
    // Drovane shows such a refusal as an unreadable plot file.
    EXPECT_FALSE(CheckFileSize(0xFFFFFFFFull));
    EXPECT_TRUE(CheckFileSize(0x100000000ull));
    EXPECT_TRUE(CheckFileSize(0x100000018ull));
}

#ifdef _WIN32
TEST(OutputFile, NobodyElseCanWriteTheHeldFileEvenAfterItTookItsName) {
    TempFolder folder;
    const auto target = folder / "quelmar.th0";
    OutputFile out;
    ASSERT_FALSE(out.Create(target));
    EXPECT_FALSE(WriteText(out, "CDR;U0,0;@;@;@;"));
    ASSERT_FALSE(out.Commit(OutputFile::Durability::Unflushed));
    HANDLE other = CreateFileW(target.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    char back[4] = {};
    EXPECT_FALSE(out.ReadAt(0, back, 4));
    EXPECT_EQ(std::string(back, 4), "CDR;");
}
#else
TEST(OutputFile, SymbolicLinkIsFollowedAndTheFileItNamesReplaced) {
    TempFolder folder;
    WriteFile(folder / "real.plt", "older");
    std::filesystem::create_symlink("real.plt", folder / "link.plt");
    OutputFile out;
    ASSERT_FALSE(out.Create(folder / "link.plt"));
    EXPECT_FALSE(WriteText(out, "IN;U0,0;@;@;@;"));
    EXPECT_FALSE(out.Commit(OutputFile::Durability::Flushed));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.plt"));
    EXPECT_EQ(ReadFile(folder / "real.plt"), "IN;U0,0;@;@;@;");
}

TEST(OutputFile, FifoIsWrittenInPlaceAndFolderRefused) {
    TempFolder folder;
    const auto fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadFile(fifo); });
    {
        OutputFile out;
        ASSERT_FALSE(out.Create(fifo));
        EXPECT_FALSE(std::filesystem::exists(folder / "pipe.partial"));
        EXPECT_FALSE(WriteText(out, "IN;U0,0;@;@;@;"));
        EXPECT_FALSE(out.Commit(OutputFile::Durability::Flushed));
    }
    reader.join();
    EXPECT_EQ(got, "IN;U0,0;@;@;@;");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    OutputFile intoFolder;
    EXPECT_EQ(intoFolder.Create(folder.path()).code(), EISDIR);
}
#endif

}  // namespace
