// Names around the export file.
#include "export/file_naming.h"

#include "app/platform.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace corvelle::exporting {

namespace {

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The extensions named by a pattern such as "*.txt;*.text"; wildcard-only pieces name none.
std::vector<std::string> patternExtensions(std::string_view pattern)
{
    std::vector<std::string> extensions;
    std::size_t start = 0;
    while (start <= pattern.size()) {
        std::size_t end = pattern.find(';', start);
        if (end == std::string_view::npos)
            end = pattern.size();
        std::string_view piece = pattern.substr(start, end - start);
        while (!piece.empty() && piece.front() == ' ')
            piece.remove_prefix(1);
        if (piece.starts_with("*.")) {
            std::string_view extension = piece.substr(2);
            if (!extension.empty() && extension.find_first_of("*?") == std::string_view::npos)
                extensions.emplace_back(extension);
        }
        start = end + 1;
    }
    return extensions;
}

}  // namespace

LocalDateTime currentLocalDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string twoDigits(int number)
{
    if (number < 0)
        return {};
    if (number < 10)
        return "0" + std::to_string(number);
    return std::to_string(number);
}

std::string dateTimeStamp(const LocalDateTime& when)
{
    const std::string date =
        std::to_string(when.year) + "-" + twoDigits(when.month) + "-" + twoDigits(when.day);
    const std::string time =
        twoDigits(when.hour) + "-" + twoDigits(when.minute) + "-" + twoDigits(when.second);
    return date + "-" + time;
}

std::string fileNameOfPath(std::string_view path)
{
    const std::size_t separator = path.rfind(app::kPathSeparator);
    if (separator == std::string_view::npos)
        return {};
    return std::string(path.substr(separator + 1));
}

std::string extensionOfName(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    return std::string(name.substr(dot + 1));
}

std::vector<FileFilter> parseFilters(std::string_view filters)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= filters.size()) {
        std::size_t end = filters.find('|', start);
        if (end == std::string_view::npos)
            end = filters.size();
        pieces.emplace_back(filters.substr(start, end - start));
        start = end + 1;
    }
    std::vector<FileFilter> result;
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2)
        result.push_back({pieces[i], pieces[i + 1]});
    return result;
}

std::string filterExtension(const FileFilter& filter)
{
    std::vector<std::string> extensions = patternExtensions(filter.pattern);
    return extensions.empty() ? std::string() : extensions.front();
}

std::string withChosenExtension(const std::string& path, const std::vector<FileFilter>& filters,
                                int selectedFilter)
{
    if (path.empty())
        return {};
    const std::size_t separator = path.rfind(app::kPathSeparator);
    const std::string_view name = separator == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(separator + 1);
    const std::string current = extensionOfName(name);
    if (name.find('.') != std::string_view::npos) {
        for (const FileFilter& filter : filters) {
            for (const std::string& extension : patternExtensions(filter.pattern)) {
                if (equalIgnoringAsciiCase(current, extension))
                    return path;
            }
        }
    }
    if (selectedFilter < 1 || static_cast<std::size_t>(selectedFilter) > filters.size())
        return path;
    const std::string extension = filterExtension(filters[static_cast<std::size_t>(selectedFilter) - 1]);
    if (extension.empty() || name.empty())
        return path;
    return path.ends_with('.') ? path + extension : path + "." + extension;
}

}  // namespace corvelle::exporting
