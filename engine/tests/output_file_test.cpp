// The output file's rules that keep a user's files whole: jobs never mix their
// files, devices written in place, a size limit; on POSIX links followed; on
// Windows no other writer while the file is held, and no planted link or hard
// link in a folder every user may write ever bent onto another file.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <thread>
#include <vector>

#include "engine/platform/file_size_limit.h"
#include "engine/platform/output_file.h"
#include "test_support.h"

namespace {

SystemError WriteText(OutputFile& out, const std::string& text) {
    return out.WriteAll(text.data(), text.size());
}

TEST(OutputFile, WritesBeyondTheLimitFailAsTooLarge) {
    TempFolder folder;
    OutputFile out;
    ASSERT_FALSE(out.Create(folder / "stream.th0"));
    out.LimitSize(10);
    EXPECT_FALSE(WriteText(out, "0123456789"));
    EXPECT_EQ(WriteText(out, "!").refusal(), Refusal::TooLarge);
}

TEST(OutputFile, NothingToCommitWhenNothingWasCreated) {
    OutputFile never;
    EXPECT_EQ(never.Commit(OutputFile::Durability::Flushed).refusal(), Refusal::NotOpen);
}

TEST(FileSizeLimit, FourGibibytesAndMoreAreRefused) {
    // The seam through which a drawing's size reaches the rule on both sides;
    // Drovane shows such a refusal as an unreadable plot file.
    EXPECT_FALSE(CheckFileSize(0xFFFFFFFFull));
    EXPECT_TRUE(CheckFileSize(0x100000000ull));
    EXPECT_TRUE(CheckFileSize(0x100000018ull));
}

#ifdef _WIN32
// Links to the file at `path` (a link there taken as itself), 0 if none.
DWORD LinkCount(const std::filesystem::path& path) {
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool got = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return got ? info.nNumberOfLinks : 0;
}

std::vector<std::wstring> TemporaryNames(const TempFolder& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().extension() == L".partial") names.push_back(entry.path().filename());
    return names;
}

TEST(OutputFile, EachJobWritesItsOwnFileUnderANameNobodyForesees) {
    TempFolder folder;
    const auto target = folder / "quelmar.th0";
    OutputFile first;
    OutputFile second;
    ASSERT_FALSE(first.Create(target));
    ASSERT_FALSE(second.Create(target));
    const auto names = TemporaryNames(folder);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[0], L"quelmar.th0.partial");
    EXPECT_NE(names[1], L"quelmar.th0.partial");
    EXPECT_FALSE(WriteText(first, "first half,"));
    EXPECT_FALSE(WriteText(second, "second"));
    EXPECT_FALSE(WriteText(first, " second half"));
    EXPECT_FALSE(second.Commit(OutputFile::Durability::Flushed));
    second.Discard();
    EXPECT_EQ(ReadFile(target), "second");
    EXPECT_FALSE(first.Commit(OutputFile::Durability::Flushed));  // the last to finish names it
    first.Discard();
    EXPECT_EQ(ReadFile(target), "first half, second half");
    EXPECT_TRUE(TemporaryNames(folder).empty());
}

TEST(OutputFile, HardLinksPlantedUnderTheOldTemporaryAndTheFinalNameLeaveTheirFileAlone) {
    TempFolder folder;
    const auto guarded = folder / "guarded.dat";
    WriteFile(guarded, "the administrator's");
    ASSERT_TRUE(SetFileAttributesW(guarded.c_str(), FILE_ATTRIBUTE_READONLY));
    const auto target = folder / "quelmar.th0";
    const auto oldTemporary = folder / "quelmar.th0.partial";
    ASSERT_TRUE(CreateHardLinkW(oldTemporary.c_str(), guarded.c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW(target.c_str(), guarded.c_str(), nullptr));
    {
        OutputFile out;
        ASSERT_FALSE(out.Create(target));
        EXPECT_FALSE(WriteText(out, "CDR;U0,0;@;@;@;"));
        EXPECT_FALSE(out.Commit(OutputFile::Durability::Flushed));
    }
    EXPECT_EQ(ReadFile(guarded), "the administrator's");
    EXPECT_TRUE(GetFileAttributesW(guarded.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(LinkCount(guarded), 2u) << "the link under the old temporary name is left alone";
    EXPECT_EQ(ReadFile(target), "CDR;U0,0;@;@;@;");
    EXPECT_EQ(LinkCount(target), 1u) << "a fresh file";
    SetFileAttributesW(guarded.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OutputFile, SymbolicLinksPlantedUnderTheOldTemporaryAndTheFinalNameAreNeverFollowed) {
    TempFolder folder;
    const auto guarded = folder / "guarded.dat";
    WriteFile(guarded, "the administrator's");
    const auto target = folder / "quelmar.th0";
    const auto oldTemporary = folder / "quelmar.th0.partial";
    const auto nowhere = folder / "made-by-the-link.dat";
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if (!CreateSymbolicLinkW(target.c_str(), guarded.c_str(), kUnprivileged) ||
        !CreateSymbolicLinkW(oldTemporary.c_str(), nowhere.c_str(), kUnprivileged) ||
        !(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "no symbolic links on this system (error " << GetLastError() << ")";
    {
        OutputFile out;
        ASSERT_FALSE(out.Create(target));
        EXPECT_FALSE(WriteText(out, "CDR;U0,0;@;@;@;"));
        EXPECT_FALSE(out.Commit(OutputFile::Durability::Flushed));
    }
    EXPECT_EQ(ReadFile(guarded), "the administrator's");
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
        << "the link itself was replaced";
    EXPECT_EQ(ReadFile(target), "CDR;U0,0;@;@;@;");

    // A link to a folder under the final name: nothing is written into the folder.
    const auto elsewhere = folder / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    const auto saved = folder / "saved.plt";
    ASSERT_TRUE(CreateSymbolicLinkW(saved.c_str(), elsewhere.c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY | kUnprivileged));
    OutputFile intoFolder;
    // Windows refuses it as a folder; Wine shows nothing there, and the link is replaced.
    if (const SystemError refused = intoFolder.Create(saved)) {
        EXPECT_EQ(refused.refusal(), Refusal::Folder);
    } else {
        EXPECT_FALSE(WriteText(intoFolder, "IN;U0,0;@;@;@;"));
        EXPECT_FALSE(intoFolder.Commit(OutputFile::Durability::Flushed));
    }
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

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

TEST(OutputFile, FifoIsWrittenInPlaceAndFolderOrDiskRefused) {
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
    EXPECT_EQ(intoFolder.Create(folder.path()).refusal(), Refusal::Folder);
    // Refused on its type alone: the disk is never opened.
    for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
        if (std::error_code unknown; !entry.is_block_file(unknown)) continue;
        OutputFile ontoDisk;
        EXPECT_EQ(ontoDisk.Create(entry.path()).refusal(), Refusal::DiskDevice) << entry.path();
        break;
    }
}
#endif

}  // namespace
