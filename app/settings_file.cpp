// Reading and writing 配置.ini without touching anything but the one value being written.
#include "app/settings_file.h"

#include "app/atomic_write.h"
#include "app/platform.h"
#include "collect/charset.h"
#include "collect/number_text.h"
#include "collect/web_address.h"

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvelle::app {

namespace {

// A settings file is a few lines; anything far larger is not ours to load.
constexpr std::size_t kMaxSettingsBytes = std::size_t{4} * 1024 * 1024;

struct IniNames {
    std::string themeSection = collect::utf8ToGbk("设置");
    std::string themeKey = collect::utf8ToGbk("颜色");
    std::string networkSection = collect::utf8ToGbk("网络");
    std::string fundSiteKey = collect::utf8ToGbk("基金网址");
    std::string quoteServiceKey = collect::utf8ToGbk("行情网址");
};

const IniNames& iniNames()
{
    static const IniNames names;
    return names;
}

// One line of the text: [begin, contentEnd) without its line break, [begin, end) with it.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t feed = text.find('\n', begin);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
        std::size_t contentEnd = feed == std::string_view::npos ? text.size() : feed;
        if (contentEnd > begin && text[contentEnd - 1] == '\r')
            --contentEnd;
        lines.push_back({begin, contentEnd, end});
        begin = end;
    }
    return lines;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// [begin, end) narrowed past blanks at both ends.
void trim(std::string_view text, std::size_t& begin, std::size_t& end)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
}

bool isLeadByte(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal names ignoring ASCII case. Two-byte GBK characters compare exactly: their second byte may look
// like an ASCII letter, and folding it would make different characters equal.
bool namesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// Where an ASCII character stands in [begin, end), skipping the second bytes of two-byte characters;
// the last occurrence when last is set. npos when absent.
std::size_t findAscii(std::string_view text, std::size_t begin, std::size_t end, char wanted, bool last)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = begin; i < end; ++i) {
        if (isLeadByte(text[i]) && i + 1 < end) {
            ++i;
        } else if (text[i] == wanted) {
            found = i;
            if (!last)
                break;
        }
    }
    return found;
}

// What a line of INI text is, with the positions of its name and value.
struct ParsedLine {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string_view name;
    std::size_t valueBegin = 0;  // entries: the trimmed value, or an empty span right behind "="
    std::size_t valueEnd = 0;
};

ParsedLine parseLine(std::string_view text, const Line& line)
{
    ParsedLine parsed;
    std::size_t begin = line.begin;
    std::size_t end = line.contentEnd;
    trim(text, begin, end);
    if (begin == end || text[begin] == ';' || text[begin] == '#')
        return parsed;
    if (text[begin] == '[') {
        std::size_t close = findAscii(text, begin + 1, end, ']', true);
        if (close == std::string_view::npos)
            return parsed;
        std::size_t nameBegin = begin + 1;
        trim(text, nameBegin, close);
        parsed.kind = ParsedLine::Kind::Section;
        parsed.name = text.substr(nameBegin, close - nameBegin);
        return parsed;
    }
    std::size_t equals = findAscii(text, begin, end, '=', false);
    if (equals == std::string_view::npos)
        return parsed;
    std::size_t nameEnd = equals;
    trim(text, begin, nameEnd);
    std::size_t valueBegin = equals + 1;
    std::size_t valueEnd = end;
    trim(text, valueBegin, valueEnd);
    parsed.kind = ParsedLine::Kind::Entry;
    parsed.name = text.substr(begin, nameEnd - begin);
    parsed.valueBegin = valueBegin;
    parsed.valueEnd = valueEnd;
    return parsed;
}

// The place of a key: the line of its section, the section's last entry, and the key's own line.
struct KeyPlace {
    std::optional<std::size_t> sectionLine;
    std::size_t lastEntryLine = 0;  // the section line itself while the section has no entry
    std::optional<std::size_t> keyLine;
    ParsedLine key;
};

KeyPlace findKey(std::string_view text, const std::vector<Line>& lines, std::string_view section,
                 std::string_view key)
{
    KeyPlace place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedLine parsed = parseLine(text, lines[i]);
        if (parsed.kind == ParsedLine::Kind::Section) {
            if (place.sectionLine)
                break;  // the first section of that name has ended
            if (namesEqual(parsed.name, section)) {
                place.sectionLine = i;
                place.lastEntryLine = i;
            }
        } else if (parsed.kind == ParsedLine::Kind::Entry && place.sectionLine) {
            place.lastEntryLine = i;
            if (namesEqual(parsed.name, key)) {
                place.keyLine = i;
                place.key = parsed;
                break;
            }
        }
    }
    return place;
}

std::string_view lineBreakOf(std::string_view text)
{
    std::size_t feed = text.find('\n');
    if (feed == std::string_view::npos || (feed > 0 && text[feed - 1] == '\r'))
        return "\r\n";
    return "\n";
}

std::string withoutQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::optional<std::string> webAddress(std::string_view text, std::string_view key)
{
    std::optional<std::string> value = findIniValue(text, iniNames().networkSection, key);
    // Only an address the program may fetch from: http or https with a real host (and port).
    if (!value || !collect::isWebAddress(*value))
        return std::nullopt;
    return value;
}

enum class FileState { Missing, Readable, Unreadable };

FileState readRegularFile(const std::string& path, std::string& bytes)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FileState::Missing : FileState::Unreadable;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > kMaxSettingsBytes) {
        ::close(fd);
        return FileState::Unreadable;
    }
    bytes.clear();
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxSettingsBytes) {
            ::close(fd);
            return FileState::Unreadable;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return FileState::Readable;
}

}  // namespace

std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key)
{
    std::vector<Line> lines = splitLines(text);
    KeyPlace place = findKey(text, lines, section, key);
    if (!place.keyLine)
        return std::nullopt;
    return withoutQuotes(text.substr(place.key.valueBegin, place.key.valueEnd - place.key.valueBegin));
}

std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value)
{
    std::vector<Line> lines = splitLines(text);
    KeyPlace place = findKey(text, lines, section, key);
    std::string_view lineBreak = lineBreakOf(text);
    std::string result;

    if (place.keyLine) {
        result.append(text.substr(0, place.key.valueBegin));
        result.append(value);
        result.append(text.substr(place.key.valueEnd));
        return result;
    }

    std::string entry = std::string(key) + "=" + std::string(value) + std::string(lineBreak);
    if (place.sectionLine) {
        const Line& after = lines[place.lastEntryLine];
        result.append(text.substr(0, after.end));
        // The last line of a text without a final LF (a lone CR does not end a line either).
        if (after.end == 0 || text[after.end - 1] != '\n')
            result.append(lineBreak);
        result.append(entry);
        result.append(text.substr(after.end));
        return result;
    }

    result.append(text);
    if (!text.empty() && text.back() != '\n')
        result.append(lineBreak);
    result.append("[").append(section).append("]").append(lineBreak);
    result.append(entry);
    return result;
}

std::int32_t themeFromSettings(std::string_view text)
{
    std::optional<std::string> value = findIniValue(text, iniNames().themeSection, iniNames().themeKey);
    if (!value || value->empty())
        return 1;
    return collect::readLeadingInteger(*value);
}

std::string withThemeSetting(std::string_view text, std::int32_t theme)
{
    return withIniValue(text, iniNames().themeSection, iniNames().themeKey, std::to_string(theme));
}

collect::ServiceAddresses addressesFromSettings(std::string_view text)
{
    collect::ServiceAddresses addresses;
    if (std::optional<std::string> fundSite = webAddress(text, iniNames().fundSiteKey)) {
        addresses.fundSiteBase = *fundSite;
        if (addresses.fundSiteBase.back() != '/')
            addresses.fundSiteBase.push_back('/');
    }
    if (std::optional<std::string> quotes = webAddress(text, iniNames().quoteServiceKey)) {
        addresses.quoteService = *quotes;
        while (addresses.quoteService.back() == '/')
            addresses.quoteService.pop_back();
    }
    return addresses;
}

std::string settingsFilePath()
{
    std::string directory = currentDirectory();
    return withTrailingBackslash(directory) + "配置.ini";
}

std::optional<std::string> readSettingsText(const std::string& path)
{
    std::string bytes;
    if (readRegularFile(path, bytes) != FileState::Readable)
        return std::nullopt;
    return bytes;
}

std::int32_t readSavedTheme(const std::string& path)
{
    return themeFromSettings(readSettingsText(path).value_or(std::string()));
}

collect::ServiceAddresses readServiceAddresses(const std::string& path)
{
    return addressesFromSettings(readSettingsText(path).value_or(std::string()));
}

bool saveTheme(const std::string& path, std::int32_t theme)
{
    std::string old;
    FileState state = readRegularFile(path, old);
    if (state == FileState::Unreadable)
        return false;  // never replace what could not be read: its content would be lost
    std::string updated = withThemeSetting(old, theme);
    if (state == FileState::Readable && updated == old)
        return true;
    return replaceFileContent(path, updated).ok;
}

}  // namespace corvelle::app
