// Writing the saved file: the target is replaced only by a complete new file, and every
// failure leaves it as it was, with no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "app/save_file.h"
#include "app_test_support.h"

namespace ramulet::apptest {
namespace {

const Bytes kNew = {'C', 'N', 'W', 'T', 'E', 'P', 'R', 'G', 0, 1, 2, 3};
const Bytes kOld = {'o', 'l', 'd'};

std::vector<std::filesystem::path> sortedFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files = filesIn(folder);
    std::sort(files.begin(), files.end());
    return files;
}

TEST(app_save_file_test, writes_a_new_file_and_replaces_an_old_one) {
    TempFolder temp;
    const std::filesystem::path target = temp.file(L"保存.e");
    EXPECT_FALSE(app::replaceFileContents(target.wstring(), kNew));
    EXPECT_EQ(readBytes(target), kNew);

    writeBytes(target, kOld);
    EXPECT_FALSE(app::replaceFileContents(target.wstring(), kNew));
    EXPECT_EQ(readBytes(target), kNew);
    EXPECT_EQ(sortedFiles(temp.path()), std::vector<std::filesystem::path>{L"保存.e"});

    EXPECT_FALSE(app::replaceFileContents(target.wstring(), Bytes{}));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
}

TEST(app_save_file_test, a_failed_write_leaves_the_target_and_no_temporary_file) {
    TempFolder temp;
    const std::filesystem::path readOnly = temp.file(L"read-only.e");
    writeBytes(readOnly, kOld);
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::filesystem::path inUse = temp.file(L"in-use.e");
    writeBytes(inUse, kOld);
    const HANDLE holder =
        CreateFileW(inUse.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::filesystem::path missing = temp.path() / L"missing" / L"x.e";

    for (const auto& target : {readOnly, inUse, missing}) {
        SCOPED_TRACE(target.string());
        const app::SaveFailure failure = app::replaceFileContents(target.wstring(), kNew);
        EXPECT_TRUE(failure);
        EXPECT_FALSE(failure.reason.empty());
        EXPECT_NE(failure.reason.find(std::to_wstring(failure.code)), std::wstring::npos);
    }
    EXPECT_EQ(app::replaceFileContents(readOnly.wstring(), kNew).code,
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(holder);

    EXPECT_EQ(readBytes(readOnly), kOld);
    EXPECT_EQ(readBytes(inUse), kOld);
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
    EXPECT_EQ(sortedFiles(temp.path()),
              (std::vector<std::filesystem::path>{L"in-use.e", L"read-only.e"}));
}

TEST(app_save_file_test, the_reason_is_the_system_message_with_its_code) {
    const std::wstring text = app::systemErrorText(ERROR_PATH_NOT_FOUND);
    EXPECT_NE(text.find(L"3"), std::wstring::npos);
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
    EXPECT_GT(text.size(), 8u);
}

}  // namespace
}  // namespace ramulet::apptest
