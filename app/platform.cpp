// Process directories and path joining on a POSIX system.
#include "app/platform.h"

#include <filesystem>
#include <system_error>

namespace corvelle::app {

std::string currentDirectory()
{
    std::error_code error;
    std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::string() : directory.string();
}

bool setCurrentDirectory(const std::string& directory)
{
    std::error_code error;
    std::filesystem::current_path(directory, error);
    return !error;
}

std::string executableDirectory()
{
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string withTrailingBackslash(std::string& directory)
{
    if (directory.empty() || directory.back() != kPathSeparator)
        directory.push_back(kPathSeparator);
    return directory;
}

}  // namespace corvelle::app
