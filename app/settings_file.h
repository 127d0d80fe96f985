// The settings file 配置.ini: GBK INI text holding the colour theme and the two web service addresses.
#pragma once

#include "collect/fund_scraper.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvelle::app {

// INI text access. Texts and names are GBK bytes. Lines end in LF or CR LF; section and key names are
// matched without regard to ASCII case, and blanks around names and values do not count. When a
// section or key appears more than once, the first one counts.

// The value of key in section with surrounding blanks (and a pair of enclosing quotes) removed;
// nullopt when the section or the key is missing.
[[nodiscard]] std::optional<std::string> findIniValue(std::string_view text, std::string_view section,
                                                      std::string_view key);

// text with key in section set to value (one line, no line break), every other byte kept. A missing
// key is added after the section's last entry, a missing section at the end of the text. New lines end
// the way the text's lines do (CR LF for a text without any).
[[nodiscard]] std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                                       std::string_view value);

// The program's settings over the file's text.

// The saved theme: 1 when section 设置 or key 颜色 is missing or the value empty; otherwise the value's
// leading integer, 0 when it has no leading digits.
[[nodiscard]] std::int32_t themeFromSettings(std::string_view text);
[[nodiscard]] std::string withThemeSetting(std::string_view text, std::int32_t theme);

// Section 网络, keys 基金网址 and 行情网址; a missing, empty or non-http(s) value keeps the default.
// The fund site's address is given a trailing "/" and the quote service's loses one.
[[nodiscard]] collect::ServiceAddresses addressesFromSettings(std::string_view text);

// The file itself.

// Where the settings live: the current working directory at the moment of the call, joined to
// "配置.ini" (the name is UTF-8 on disk, as Linux file names are; the content is GBK).
[[nodiscard]] std::string settingsFilePath();

// The file's bytes; nullopt when it is missing or cannot be read as a regular file.
[[nodiscard]] std::optional<std::string> readSettingsText(const std::string& path);

[[nodiscard]] std::int32_t readSavedTheme(const std::string& path);
[[nodiscard]] collect::ServiceAddresses readServiceAddresses(const std::string& path);

// Writes theme into the file, creating the file or the section when missing and keeping every other
// line, through a temporary file renamed over the old one. A file that exists but cannot be read is
// left alone. Returns whether the file now holds the theme; the program ignores a failure.
bool saveTheme(const std::string& path, std::int32_t theme);

}  // namespace corvelle::app
