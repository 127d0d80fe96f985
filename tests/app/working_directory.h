// Runs a test inside another working directory and restores the old one afterwards.
#pragma once

#include <filesystem>
#include <system_error>

namespace corvelle::testing {

class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory)
        : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(directory);
    }
    ~WorkingDirectory()
    {
        std::error_code error;
        std::filesystem::current_path(m_previous, error);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

}  // namespace corvelle::testing
