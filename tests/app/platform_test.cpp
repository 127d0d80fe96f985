// Directory texts and the process's working directory.
#include "app/platform.h"

#include "tests/app/working_directory.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvelle::app {
namespace {

TEST(WithTrailingBackslash, AppendsOneSeparatorOnlyWhenMissing)
{
    struct Case {
        const char* name;
        std::string directory;
        std::string expected;
    };
    const Case cases[] = {
        {"plain directory", "/home/user", "/home/user/"},
        {"already ends in separator", "/home/user/", "/home/user/"},
        {"root", "/", "/"},
        {"empty text", "", "/"},
    };
    for (const Case& c : cases) {
        std::string directory = c.directory;
        std::string returned = withTrailingBackslash(directory);
        EXPECT_EQ(returned, c.expected) << c.name;
        EXPECT_EQ(directory, c.expected) << c.name << ": the caller's text changes too";
    }
}

TEST(CurrentDirectory, FollowsTheProcessWorkingDirectory)
{
    testing::TempDir folder;
    testing::WorkingDirectory inFolder(folder.path());
    EXPECT_EQ(currentDirectory(), std::filesystem::canonical(folder.path()).string());

    std::filesystem::create_directory(folder.file("inner"));
    ASSERT_TRUE(setCurrentDirectory(folder.file("inner").string()));
    EXPECT_EQ(currentDirectory(), std::filesystem::canonical(folder.file("inner")).string());

    EXPECT_FALSE(setCurrentDirectory(folder.file("missing").string()));
    EXPECT_EQ(currentDirectory(), std::filesystem::canonical(folder.file("inner")).string());
}

TEST(ExecutableDirectory, IsTheFolderOfThisTestProgramWhateverTheWorkingDirectory)
{
    testing::TempDir folder;
    testing::WorkingDirectory inFolder(folder.path());
    std::filesystem::path directory = executableDirectory();
    ASSERT_TRUE(directory.is_absolute()) << directory;
    EXPECT_TRUE(std::filesystem::exists(directory / "test_app_core")) << directory;
}

}  // namespace
}  // namespace corvelle::app
