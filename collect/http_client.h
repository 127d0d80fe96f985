// HTTP GET through libcurl, and fetchText: a web resource read as UTF-8 and returned as GBK text.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace corvelle::collect {

// Sound limits that the old request shape lacked. Tests shorten the time-outs.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    long maxRedirects = 5;
    std::size_t maxBodyBytes = std::size_t{32} << 20;
};

// Why a fetch gave nothing; beside the empty body, so tests can tell failures apart.
enum class FetchFailure { None, NotWebAddress, CannotConnect, TimedOut, TooLarge, Aborted, Other };

[[nodiscard]] const char* toString(FetchFailure failure);

struct FetchResult {
    std::string body;  // empty on any failure
    long status = 0;   // HTTP status of the last response, 0 when none
    FetchFailure failure = FetchFailure::None;
};

// GET of url as HTTP/1.0, no proxy, headers Host, User-Agent, "Accept: */*" and "Pragma: no-cache"; the
// body whatever the status. Only http and https, also for redirects. abort, when given, stops the
// transfer as soon as it turns true.
[[nodiscard]] FetchResult httpGet(const std::string& url, const FetchLimits& limits = {},
                                  const std::atomic<bool>* abort = nullptr);

// The body of url converted from UTF-8 to GBK, cut at its first zero byte; empty on any failure.
[[nodiscard]] std::string fetchText(const std::string& url, const FetchLimits& limits = {},
                                    const std::atomic<bool>* abort = nullptr);

}  // namespace corvelle::collect
