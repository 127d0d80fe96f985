// Web addresses that come from pages: only absolute http(s) addresses pass, and the two relative link forms
// fund pages use are resolved against the site's own address.
#include "collect/web_address.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvelle::collect {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// The scheme with its "://" ("http://" or "https://", as the address writes it), or nothing.
std::optional<std::string_view> webScheme(std::string_view address)
{
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")})
        if (startsWithNoCase(address, scheme))
            return address.substr(0, scheme.size());
    return std::nullopt;
}

// The authority of an address after its "scheme://": everything up to the first "/", "?" or "#".
std::string_view authorityAfter(std::string_view rest)
{
    return rest.substr(0, std::min(rest.find_first_of("/?#"), rest.size()));
}

bool isDigits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// host[:port] without any user information; nothing when the host is missing or the port is not a number.
std::optional<std::string_view> hostAndPort(std::string_view authority)
{
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view host;
    std::string_view afterHost;
    if (authority.starts_with('[')) {  // an IPv6 literal
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = authority.substr(1, close - 1);
        afterHost = authority.substr(close + 1);
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        afterHost = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
    }
    if (host.empty())
        return std::nullopt;
    if (!afterHost.empty()) {
        if (afterHost.front() != ':' || afterHost.size() > 6 || !isDigits(afterHost.substr(1)))
            return std::nullopt;
    }
    return authority;
}

}  // namespace

bool isWebAddress(std::string_view address)
{
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F)
            return false;
    }
    const std::optional<std::string_view> scheme = webScheme(address);
    if (!scheme)
        return false;
    return hostAndPort(authorityAfter(address.substr(scheme->size()))).has_value();
}

std::string resolveLink(std::string_view link, std::string_view base)
{
    if (!link.starts_with('/'))
        return std::string(link);
    const std::optional<std::string_view> scheme = webScheme(base);
    if (!scheme)
        return std::string(link);
    if (link.starts_with("//")) {
        // The scheme without its "//": "http:" + "//host/path".
        return std::string(scheme->substr(0, scheme->size() - 2)) + std::string(link);
    }
    const std::optional<std::string_view> host = hostAndPort(authorityAfter(base.substr(scheme->size())));
    if (!host)
        return std::string(link);
    return std::string(*scheme) + std::string(*host) + std::string(link);
}

}  // namespace corvelle::collect
