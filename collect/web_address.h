// Web addresses that come from pages: which ones may be fetched or opened, and how relative links resolve.
#pragma once

#include <string>
#include <string_view>

namespace corvelle::collect {

// True only for an absolute "http://" or "https://" address (scheme compared without regard to case)
// that has a host and holds no control characters or blanks.
[[nodiscard]] bool isWebAddress(std::string_view address);

// Resolves a link as the fund site gives it: "//host/path" takes the scheme of base, "/path" the
// scheme, host and port of base; any other link is returned unchanged. base is an http(s) address.
[[nodiscard]] std::string resolveLink(std::string_view link, std::string_view base);

}  // namespace corvelle::collect
