// Whole-file writes that never leave a half-written file: the bytes go to a temporary file in the same
// folder, which is renamed over the target only when every write and the close succeeded.
#pragma once

#include <string>

namespace corvelle::app {

struct WriteOutcome {
    bool ok = false;
    std::string error;  // what failed, with the system's reason; empty on success
};

// Replaces path's content with bytes. On failure the temporary file is removed and any old file at
// path is left whole.
[[nodiscard]] WriteOutcome replaceFileContent(const std::string& path, const std::string& bytes);

}  // namespace corvelle::app
