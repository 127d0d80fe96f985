// HTTP GET through libcurl (one easy handle per request) and fetchText, the one way web bodies enter the
// program: read as UTF-8, returned as GBK.
#include "collect/http_client.h"

#include "collect/charset.h"
#include "collect/web_address.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace corvelle::collect {

namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* kAllowedProtocols = "http,https";

struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
// Move-only owners of one easy handle and of the request's header list.
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;

// libcurl's global state must be set up once, before the first handle, and not concurrently.
bool initialiseCurlOnce()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

// What the callbacks of one transfer share.
struct Transfer {
    std::string body;
    std::size_t maxBodyBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* abort = nullptr;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (bytes > transfer.maxBodyBytes - std::min(transfer.maxBodyBytes, transfer.body.size())) {
        transfer.tooLarge = true;
        return 0;  // anything but bytes ends the transfer with CURLE_WRITE_ERROR
    }
    transfer.body.append(data, bytes);
    return bytes;
}

int checkAbort(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto& transfer = *static_cast<const Transfer*>(user);
    return transfer.abort != nullptr && transfer.abort->load() ? 1 : 0;
}

long clampedMilliseconds(std::chrono::milliseconds duration)
{
    // 0 would mean "the default" or "no limit" to libcurl; a limit is always meant here.
    return static_cast<long>(std::max<std::chrono::milliseconds::rep>(duration.count(), 1));
}

FetchFailure failureOf(CURLcode code, const Transfer& transfer)
{
    switch (code) {
    case CURLE_OK:
        return FetchFailure::None;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return FetchFailure::CannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return FetchFailure::TimedOut;
    case CURLE_FILESIZE_EXCEEDED:
        return FetchFailure::TooLarge;
    case CURLE_WRITE_ERROR:
        return transfer.tooLarge ? FetchFailure::TooLarge : FetchFailure::Other;
    case CURLE_ABORTED_BY_CALLBACK:
        return FetchFailure::Aborted;
    default:
        return FetchFailure::Other;
    }
}

// Every option of the request; false when libcurl refused one (the request is then not made).
bool configure(CURL* handle, const std::string& url, const FetchLimits& limits, curl_slist* headers,
               Transfer& transfer)
{
    const curl_off_t maxFileSize = static_cast<curl_off_t>(
        std::min<std::size_t>(limits.maxBodyBytes, static_cast<std::size_t>(INT64_MAX)));
    bool ok = true;
    const auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(handle, option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, url.c_str());
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_HTTPGET, 1L);
    // Directly, whatever the environment's proxy variables say.
    set(CURLOPT_PROXY, "");
    set(CURLOPT_NOPROXY, "*");
    set(CURLOPT_USERAGENT, kUserAgent);
    set(CURLOPT_HTTPHEADER, headers);
    set(CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    set(CURLOPT_FOLLOWLOCATION, limits.maxRedirects > 0 ? 1L : 0L);
    set(CURLOPT_MAXREDIRS, std::max(limits.maxRedirects, 0L));
    set(CURLOPT_CONNECTTIMEOUT_MS, clampedMilliseconds(limits.connectTimeout));
    set(CURLOPT_TIMEOUT_MS, clampedMilliseconds(limits.totalTimeout));
    set(CURLOPT_MAXFILESIZE_LARGE, maxFileSize);
    // Worker threads: no SIGALRM-based resolver time-outs.
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_WRITEFUNCTION, &writeBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &checkAbort);
    set(CURLOPT_XFERINFODATA, static_cast<void*>(&transfer));
    return ok;
}

}  // namespace

const char* toString(FetchFailure failure)
{
    switch (failure) {
    case FetchFailure::None:
        return "none";
    case FetchFailure::NotWebAddress:
        return "not a web address";
    case FetchFailure::CannotConnect:
        return "cannot connect";
    case FetchFailure::TimedOut:
        return "timed out";
    case FetchFailure::TooLarge:
        return "too large";
    case FetchFailure::Aborted:
        return "aborted";
    case FetchFailure::Other:
        return "other";
    }
    return "unknown";
}

FetchResult httpGet(const std::string& url, const FetchLimits& limits, const std::atomic<bool>* abort)
{
    FetchResult result;
    if (!isWebAddress(url)) {
        result.failure = FetchFailure::NotWebAddress;
        return result;
    }
    if (abort != nullptr && abort->load()) {
        result.failure = FetchFailure::Aborted;
        return result;
    }
    if (!initialiseCurlOnce()) {
        result.failure = FetchFailure::Other;
        return result;
    }
    const EasyHandle handle(curl_easy_init());
    if (!handle) {
        result.failure = FetchFailure::Other;
        return result;
    }
    // "Accept" replaces libcurl's own; "Pragma" asks HTTP/1.0 caches for a fresh copy. libcurl adds only
    // Host and the User-Agent to these.
    HeaderList headers(curl_slist_append(nullptr, "Accept: */*"));
    curl_slist* withPragma = headers ? curl_slist_append(headers.get(), "Pragma: no-cache") : nullptr;
    if (withPragma == nullptr) {
        result.failure = FetchFailure::Other;
        return result;
    }

    Transfer transfer;
    transfer.maxBodyBytes = limits.maxBodyBytes;
    transfer.abort = abort;
    if (!configure(handle.get(), url, limits, headers.get(), transfer)) {
        result.failure = FetchFailure::Other;
        return result;
    }
    const CURLcode code = curl_easy_perform(handle.get());
    long status = 0;
    if (curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK)
        result.status = status;
    result.failure = failureOf(code, transfer);
    if (result.failure == FetchFailure::None)
        result.body = std::move(transfer.body);
    return result;
}

std::string fetchText(const std::string& url, const FetchLimits& limits, const std::atomic<bool>* abort)
{
    const FetchResult fetched = httpGet(url, limits, abort);
    if (fetched.failure != FetchFailure::None || fetched.body.empty())
        return {};
    std::string text = utf8ToGbk(fetched.body);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

}  // namespace corvelle::collect
