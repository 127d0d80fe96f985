// Golden files of the export tests: expected bytes under tests/data/export, compared byte for byte with
// a readable report of the first difference. CORVELLE_UPDATE_GOLDEN=1 rewrites them from the actual output.
#pragma once

#include "collect/charset.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace corvelle::testing {

inline std::filesystem::path goldenPath(const std::string& name)
{
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "export" / name;
}

// One GBK line shown as UTF-8 with its control bytes spelled out, so CR, LF and TAB differences are visible.
inline std::string visibleLine(const std::string& gbkLine)
{
    std::string shown;
    for (unsigned char byte : collect::gbkToUtf8(gbkLine)) {
        if (byte == '\r')
            shown += "\\r";
        else if (byte == '\n')
            shown += "\\n";
        else if (byte == '\t')
            shown += "\\t";
        else if (byte < 0x20 || byte == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else
            shown += static_cast<char>(byte);
    }
    return shown;
}

// Lines split after each LF, so the line ends stay part of what is compared and shown.
inline std::vector<std::string> splitKeepingBreaks(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    return lines;
}

inline ::testing::AssertionResult matchesGolden(const std::string& actual, const std::string& name)
{
    const std::filesystem::path path = goldenPath(name);
    if (const char* update = std::getenv("CORVELLE_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        writeFileBytes(path, actual);
        return ::testing::AssertionSuccess() << "rewrote " << path;
    }
    if (!std::filesystem::exists(path))
        return ::testing::AssertionFailure() << "golden file missing: " << path;
    const std::string expected = readFileBytes(path);
    if (expected == actual)
        return ::testing::AssertionSuccess();

    const std::vector<std::string> expectedLines = splitKeepingBreaks(expected);
    const std::vector<std::string> actualLines = splitKeepingBreaks(actual);
    std::size_t line = 0;
    while (line < expectedLines.size() && line < actualLines.size() &&
           expectedLines[line] == actualLines[line])
        ++line;
    std::size_t byte = 0;
    while (byte < expected.size() && byte < actual.size() && expected[byte] == actual[byte])
        ++byte;
    std::ostringstream report;
    report << name << ": " << actual.size() << " bytes written, " << expected.size() << " expected, first "
           << "difference at byte " << byte << "; " << actualLines.size() << " lines written, "
           << expectedLines.size() << " expected\n"
           << "first difference at line " << line + 1 << ":\n";
    const std::size_t from = line >= 2 ? line - 2 : 0;
    const std::size_t to = std::max(expectedLines.size(), actualLines.size());
    for (std::size_t i = from; i < to && i < line + 3; ++i) {
        const std::string want = i < expectedLines.size() ? visibleLine(expectedLines[i]) : "(none)";
        const std::string got = i < actualLines.size() ? visibleLine(actualLines[i]) : "(none)";
        if (want == got) {
            report << "   " << i + 1 << "  " << want << "\n";
        } else {
            report << " - " << i + 1 << "  " << want << "\n";
            report << " + " << i + 1 << "  " << got << "\n";
        }
    }
    return ::testing::AssertionFailure() << report.str();
}

}  // namespace corvelle::testing
