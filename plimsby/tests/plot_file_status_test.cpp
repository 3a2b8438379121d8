// The plot file's size: none for a missing file or folder, and read while a writer holds the
// file exclusively, without getting in its way.
#include "plot_file_status.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "owned_handle.h"

namespace {

// A folder of this test process's own under the temporary folder.
class PlotFileStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"plimsby-status-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        path_ = folder_ + L"\\Quelmar.plt";
    }
    void TearDown() override {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    std::wstring path_;
};

void Append(HANDLE file, DWORD bytes) {
    const std::string text(bytes, 'U');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text.data(), bytes, &written, nullptr));
    ASSERT_EQ(written, bytes);
}

}  // namespace

TEST_F(PlotFileStatusTest, MissingFileOrFolderHasNoSize) {
    EXPECT_EQ(QueryPlotFileSize(path_.c_str()), std::nullopt);
    EXPECT_EQ(QueryPlotFileSize((folder_ + L"\\no such folder\\Quelmar.plt").c_str()),
              std::nullopt);
}

TEST_F(PlotFileStatusTest, SizeIsReadWhileAWriterHoldsTheFileExclusively) {
    framework::OwnedHandle writer(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    Append(writer.get(), 1234);
    EXPECT_EQ(QueryPlotFileSize(path_.c_str()), 1234);

    // Looking did not get in the writer's way.
    Append(writer.get(), 766);
    EXPECT_EQ(QueryPlotFileSize(path_.c_str()), 2000);
}
