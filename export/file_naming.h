// Names around the export file: the date-and-time default name, the parts of a chosen path, the save
// dialog's filter list and the extension rule it applies.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvelle::exporting {

// A local date and time as people read it: month 1 to 12, hour 0 to 23.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

[[nodiscard]] LocalDateTime currentLocalDateTime();

// 0 to 9 as "0" and the digit, 10 and more in plain decimal, a negative number as the empty text.
[[nodiscard]] std::string twoDigits(int number);

// "2021-10-30-09-05-07" for 09:05:07 on 30 October 2021: the year as it is, the rest in two digits.
[[nodiscard]] std::string dateTimeStamp(const LocalDateTime& when);

// The text after the last path separator; empty when the path holds none.
[[nodiscard]] std::string fileNameOfPath(std::string_view path);

// The text after the last "." of a file name; empty when it has none.
[[nodiscard]] std::string extensionOfName(std::string_view name);

// One entry of a save dialog's type list: its description and its pattern ("*.txt", or several joined
// by ";").
struct FileFilter {
    std::string description;
    std::string pattern;

    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// "description|pattern|description|pattern" split into its pairs; a description without a pattern is
// dropped. Descriptions keep their blanks.
[[nodiscard]] std::vector<FileFilter> parseFilters(std::string_view filters);

// The extension a filter gives a name ("txt" for "*.txt", the first one when several are joined by
// ";"); empty when its pattern names none ("*.*", "*").
[[nodiscard]] std::string filterExtension(const FileFilter& filter);

// The save dialog's extension rule: a chosen name whose extension is, in any case, one of the filters'
// extensions is kept as typed; any other name gets the extension of the selected filter (1-based)
// appended, so a proposed "x.Marlune" becomes "x.Marlune.txt" and "x" becomes "x.txt". An empty path
// stays empty.
[[nodiscard]] std::string withChosenExtension(const std::string& path, const std::vector<FileFilter>& filters,
                                              int selectedFilter);

}  // namespace corvelle::exporting
