// A process-wide locale whose decimal point is a comma, for tests that prove number texts do not
// depend on the locale.
#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace corvelle::testing {

// Switches the whole process to a locale that writes a decimal comma while it lives. When the system
// has none installed, one is compiled once with localedef into a cache folder under the temporary
// directory and found through LOCPATH. active() is false when neither works.
class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        m_previous = current != nullptr ? current : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
            if (tryLocale(name))
                return;
        }
        const std::filesystem::path cache =
            std::filesystem::temp_directory_path() / ("corvelle-test-locales-" + std::to_string(getuid()));
        const std::filesystem::path compiled = cache / "de_DE.UTF-8";
        std::error_code error;
        if (!std::filesystem::exists(compiled / "LC_NUMERIC", error)) {
            // Compiled beside the cache and renamed in, so parallel test processes never see half of it.
            std::filesystem::create_directories(cache, error);
            const std::filesystem::path partial = cache / ("partial-" + std::to_string(getpid()));
            const std::string command =
                "localedef -i de_DE -f UTF-8 '" + partial.string() + "' >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0 || std::filesystem::exists(partial / "LC_NUMERIC", error))
                std::filesystem::rename(partial, compiled, error);
            std::filesystem::remove_all(partial, error);
        }
        setenv("LOCPATH", cache.c_str(), 1);
        m_setLocPath = true;
        tryLocale("de_DE.UTF-8");
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_ALL, m_previous.c_str());
        if (m_setLocPath)
            unsetenv("LOCPATH");
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    [[nodiscard]] bool active() const { return m_active; }

private:
    bool tryLocale(const char* name)
    {
        if (std::setlocale(LC_ALL, name) == nullptr)
            return false;
        m_active = std::string(std::localeconv()->decimal_point) == ",";
        if (!m_active)
            std::setlocale(LC_ALL, m_previous.c_str());
        return m_active;
    }

    std::string m_previous;
    bool m_active = false;
    bool m_setLocPath = false;
};

}  // namespace corvelle::testing
