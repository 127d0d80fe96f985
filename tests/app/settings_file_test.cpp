// 配置.ini: reading the theme and the web addresses, and writing the theme without disturbing the rest.
#include "app/settings_file.h"

#include "app/atomic_write.h"
#include "collect/charset.h"
#include "tests/app/working_directory.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <string>

namespace corvelle::app {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

// Test texts are written in UTF-8 and converted, as the file holds GBK.
std::string gbk(const std::string& utf8)
{
    return collect::utf8ToGbk(utf8);
}

// The GBK bytes of a new settings file, spelled out so the converter is not trusted here.
const std::string kNewFileTheme1 = "[\xC9\xE8\xD6\xC3]\r\n\xD1\xD5\xC9\xAB=1\r\n";  // [设置] 颜色=1

TEST(ThemeFromSettings, ReadsTheValueOrFallsBack)
{
    struct Case {
        const char* name;
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"empty file", "", 1},
        {"CR LF lines", "[设置]\r\n颜色=3\r\n", 3},
        {"LF lines", "[设置]\n颜色=2\n", 2},
        {"no final line break", "[设置]\r\n颜色=2", 2},
        {"blanks around names and value", "  [ 设置 ]  \n\t颜色 \t= 3 \t\n", 3},
        {"empty value", "[设置]\n颜色=\n", 1},
        {"blank value", "[设置]\n颜色=   \n", 1},
        {"no digits", "[设置]\n颜色=abc\n", 0},
        {"leading digits", "[设置]\n颜色=2abc\n", 2},
        {"negative", "[设置]\n颜色=-4\n", -4},
        {"above the cycle", "[设置]\n颜色=5\n", 5},
        {"full-width digit", "[设置]\n颜色=３\n", 3},
        {"quoted value", "[设置]\n颜色=\"2\"\n", 2},
        {"section missing", "[网络]\n颜色=2\n", 1},
        {"key missing", "[设置]\n其他=2\n", 1},
        {"key outside any section", "颜色=2\n[设置]\n", 1},
        {"key in a later section", "[设置]\n其他=1\n[网络]\n颜色=2\n", 1},
        {"section after others", "[网络]\n颜色=2\n[设置]\n颜色=3\n", 3},
        {"commented out", "[设置]\n;颜色=2\n#颜色=3\n", 1},
        {"first key counts", "[设置]\n颜色=2\n颜色=3\n", 2},
        {"first section counts", "[设置]\n其他=1\n[设置]\n颜色=3\n", 1},
        {"line without equals sign", "[设置]\n颜色\n", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(themeFromSettings(gbk(c.text)), c.expected) << c.name;
}

TEST(FindIniValue, MatchesAsciiNamesWithoutRegardToCase)
{
    EXPECT_EQ(findIniValue("[NetWork]\nBase Url = http://a/ \n", "network", "BASE URL"), "http://a/");
    EXPECT_EQ(findIniValue("[network]\nkey=v\n", "network", "other"), std::nullopt);
}

TEST(FindIniValue, ComparesTwoByteCharactersExactly)
{
    // 0x81 0x41 and 0x81 0x61 are two different characters whose second bytes look like 'A' and 'a'.
    EXPECT_EQ(findIniValue("[\x81\x61]\nk=v\n", "\x81\x41", "k"), std::nullopt);
    EXPECT_EQ(findIniValue("[\x81\x41]\nk=v\n", "\x81\x41", "K"), "v");
    // A second byte equal to ']' does not close the section name.
    EXPECT_EQ(findIniValue("[\x81]]\nk=v\n", "\x81]", "k"), "v");
}

TEST(WithThemeSetting, ChangesOnlyTheValue)
{
    struct Case {
        const char* name;
        const char* text;
        int theme;
        const char* expected;
    };
    const Case cases[] = {
        {"empty text", "", 1, "[设置]\r\n颜色=1\r\n"},
        {"value replaced, spacing kept", "[设置]\r\n  颜色 = 3  \r\n", 2, "[设置]\r\n  颜色 = 2  \r\n"},
        {"empty value filled", "[设置]\r\n颜色=\r\n", 3, "[设置]\r\n颜色=3\r\n"},
        {"text value replaced", "[设置]\n颜色=abc\n", 1, "[设置]\n颜色=1\n"},
        {"negative written as is", "[设置]\n颜色=1\n", -2, "[设置]\n颜色=-2\n"},
        {"key added after the section's last entry, LF kept", "[设置]\na=1\n\n[网络]\nb=2\n", 2,
         "[设置]\na=1\n颜色=2\n\n[网络]\nb=2\n"},
        {"key added to an empty section", "[设置]\r\n[网络]\r\n", 3, "[设置]\r\n颜色=3\r\n[网络]\r\n"},
        {"key added behind a last line without line break", "[设置]\r\na=1", 2,
         "[设置]\r\na=1\r\n颜色=2\r\n"},
        {"key added behind a last line that ends in a lone CR", "[设置]\r", 2, "[设置]\r\r\n颜色=2\r\n"},
        {"section added at the end", "[网络]\n行情网址=http://q\n", 2,
         "[网络]\n行情网址=http://q\n[设置]\n颜色=2\n"},
        {"section added behind a last line without line break", "[网络]\r\nb=2", 2,
         "[网络]\r\nb=2\r\n[设置]\r\n颜色=2\r\n"},
        {"first of two keys replaced", "[设置]\n颜色=1\n颜色=3\n", 2, "[设置]\n颜色=2\n颜色=3\n"},
        {"commented key left alone", "[设置]\n;颜色=1\n", 2, "[设置]\n颜色=2\n;颜色=1\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withThemeSetting(gbk(c.text), c.theme), gbk(c.expected)) << c.name;
}

TEST(WithThemeSetting, NewTextIsTheGbkSettingsSectionWithCrLf)
{
    EXPECT_EQ(withThemeSetting("", 1), kNewFileTheme1);
}

TEST(AddressesFromSettings, DefaultsPointAtTheBundledSampleSite)
{
    collect::ServiceAddresses addresses = addressesFromSettings("");
    EXPECT_EQ(addresses.fundSiteBase, "http://127.0.0.1:18731/");
    EXPECT_EQ(addresses.quoteService, "http://127.0.0.1:18731");
}

TEST(AddressesFromSettings, ReadsTheNetworkSectionAndFixesTrailingSlashes)
{
    struct Case {
        const char* name;
        const char* text;
        const char* fundSite;
        const char* quotes;
    };
    const Case cases[] = {
        {"both given", "[网络]\n基金网址=http://f.example/fund/\n行情网址=https://q.example\n",
         "http://f.example/fund/", "https://q.example"},
        {"slashes fixed", "[网络]\n基金网址 = http://127.0.0.1:9000\n行情网址 = http://127.0.0.1:9001//\n",
         "http://127.0.0.1:9000/", "http://127.0.0.1:9001"},
        {"scheme in capitals", "[网络]\n基金网址=HTTP://A/\n", "HTTP://A/", "http://127.0.0.1:18731"},
        {"empty values keep the defaults", "[网络]\n基金网址=\n行情网址=\n", "http://127.0.0.1:18731/",
         "http://127.0.0.1:18731"},
        {"other schemes refused", "[网络]\n基金网址=file:///etc/\n行情网址=javascript:alert(1)\n",
         "http://127.0.0.1:18731/", "http://127.0.0.1:18731"},
        {"scheme alone refused", "[网络]\n基金网址=http://\n", "http://127.0.0.1:18731/",
         "http://127.0.0.1:18731"},
        {"host without a usable port or with blanks refused",
         "[网络]\n基金网址=http://127.0.0.1:18*31/\n行情网址=http://bad host\n", "http://127.0.0.1:18731/",
         "http://127.0.0.1:18731"},
        {"keys in another section ignored", "[设置]\n基金网址=http://x/\n", "http://127.0.0.1:18731/",
         "http://127.0.0.1:18731"},
    };
    for (const Case& c : cases) {
        collect::ServiceAddresses addresses = addressesFromSettings(gbk(c.text));
        EXPECT_EQ(addresses.fundSiteBase, c.fundSite) << c.name;
        EXPECT_EQ(addresses.quoteService, c.quotes) << c.name;
    }
}

TEST(SettingsFilePath, IsTheWorkingDirectoryAtTheMomentOfTheCall)
{
    TempDir first;
    TempDir second;
    {
        testing::WorkingDirectory inFirst(first.path());
        EXPECT_EQ(settingsFilePath(), fs::canonical(first.path()).string() + "/配置.ini");
    }
    {
        testing::WorkingDirectory inSecond(second.path());
        EXPECT_EQ(settingsFilePath(), fs::canonical(second.path()).string() + "/配置.ini");
    }
    testing::WorkingDirectory inRoot("/");
    EXPECT_EQ(settingsFilePath(), "/配置.ini") << "exactly one separator after a directory ending in one";
}

// Settings files on disk, in a temporary folder.
class SettingsFileOnDisk : public ::testing::Test {
protected:
    TempDir m_folder;
    std::string m_path = m_folder.file("配置.ini").string();

    // Names in the folder other than the settings file: a failed write must leave no temporary file.
    [[nodiscard]] std::vector<std::string> strayFiles() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_folder.path()))
            if (entry.path().filename() != "配置.ini")
                names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(SettingsFileOnDisk, NoFileGivesThemeOneAndSavingCreatesTheGbkFile)
{
    EXPECT_EQ(readSavedTheme(m_path), 1);
    EXPECT_FALSE(fs::exists(m_path)) << "reading creates nothing";

    EXPECT_TRUE(saveTheme(m_path, 1));
    EXPECT_EQ(readFileBytes(m_path), kNewFileTheme1);
    EXPECT_EQ(readSavedTheme(m_path), 1);
}

TEST_F(SettingsFileOnDisk, SavedThreeIsReadAndWrittenBackUnchanged)
{
    const std::string text = gbk("[设置]\r\n颜色=3\r\n");
    writeFileBytes(m_path, text);
    EXPECT_EQ(readSavedTheme(m_path), 3);
    EXPECT_TRUE(saveTheme(m_path, 3));
    EXPECT_EQ(readFileBytes(m_path), text);

    EXPECT_TRUE(saveTheme(m_path, 1));
    EXPECT_EQ(readFileBytes(m_path), gbk("[设置]\r\n颜色=1\r\n"));
}

TEST_F(SettingsFileOnDisk, ValueWithoutDigitsReadsAsZero)
{
    writeFileBytes(m_path, gbk("[设置]\r\n颜色=abc\r\n"));
    EXPECT_EQ(readSavedTheme(m_path), 0);
}

TEST_F(SettingsFileOnDisk, EverythingButTheThemeSurvivesAWriteByteForByte)
{
    const std::string before = gbk("; Corvelle 的设置\r\n"
                                   "[窗口]\r\n"
                                   "位置 = 50,50\r\n"
                                   "\r\n"
                                   "[设置]\r\n"
                                   "; 主题：1 到 3\r\n"
                                   "颜色 = 3   \r\n"
                                   "字体=微软雅黑\r\n"
                                   "\r\n"
                                   "[网络]\r\n"
                                   "基金网址=http://127.0.0.1:9000/\r\n"
                                   "行情网址=http://127.0.0.1:9001\r\n"
                                   "# 结束\r\n");
    writeFileBytes(m_path, before);
    ASSERT_EQ(readSavedTheme(m_path), 3);

    ASSERT_TRUE(saveTheme(m_path, 2));
    std::string expected = before;
    const std::string oldValue = gbk("颜色 = 3");
    expected.replace(expected.find(oldValue), oldValue.size(), gbk("颜色 = 2"));
    EXPECT_EQ(readFileBytes(m_path), expected);

    collect::ServiceAddresses addresses = readServiceAddresses(m_path);
    EXPECT_EQ(addresses.fundSiteBase, "http://127.0.0.1:9000/");
    EXPECT_EQ(addresses.quoteService, "http://127.0.0.1:9001");
}

TEST_F(SettingsFileOnDisk, WriteOverADirectoryFailsSilentlyAndChangesNothing)
{
    fs::create_directory(m_path);
    writeFileBytes(fs::path(m_path) / "inside.txt", "kept");
    EXPECT_EQ(readSavedTheme(m_path), 1);
    EXPECT_FALSE(saveTheme(m_path, 2));
    EXPECT_TRUE(fs::is_directory(m_path));
    EXPECT_EQ(readFileBytes(fs::path(m_path) / "inside.txt"), "kept");
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(SettingsFileOnDisk, WriteIntoAMissingFolderFails)
{
    EXPECT_FALSE(saveTheme(m_folder.file("missing").string() + "/配置.ini", 2));
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(SettingsFileOnDisk, WriteOnAFullDiskLeavesTheOldFileWhole)
{
    const std::string before = gbk("[网络]\r\n基金网址=http://127.0.0.1:9000/\r\n[设置]\r\n颜色=3\r\n");
    writeFileBytes(m_path, before);

    // A file-size limit below the new content's size makes the write fail the way a full disk does.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit tight = previous;
    tight.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    bool saved = saveTheme(m_path, 2);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &previous), 0);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFileBytes(m_path), before);
    EXPECT_TRUE(strayFiles().empty());
}

}  // namespace
}  // namespace corvelle::app
