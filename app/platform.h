// What differs between platforms: directories of the process and the path separator.
#pragma once

#include <string>

namespace corvelle::app {

// The separator between a directory and a name in a path.
inline constexpr char kPathSeparator = '/';

// The process's current working directory, in the file system's own encoding (UTF-8 on Linux); the
// empty text when it cannot be determined.
[[nodiscard]] std::string currentDirectory();

// Makes directory the current working directory; false when that failed.
bool setCurrentDirectory(const std::string& directory);

// The directory holding the program's executable, without a trailing separator; empty when unknown.
[[nodiscard]] std::string executableDirectory();

// Appends the path separator to directory unless it already ends in one (an empty text gets one too),
// changing the caller's text, and returns a copy of the result. The name is kept from the Windows
// program, where the separator is a backslash.
std::string withTrailingBackslash(std::string& directory);

}  // namespace corvelle::app
