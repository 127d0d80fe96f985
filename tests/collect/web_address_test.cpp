// Which addresses from web pages may be fetched or opened, and how the fund site's relative links resolve.
#include "collect/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace corvelle::collect {
namespace {

using namespace std::string_literals;

struct AddressCase {
    const char* name;
    std::string address;
    bool isWeb;
};

void PrintTo(const AddressCase& c, std::ostream* out)
{
    *out << c.name;
}

class IsWebAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(IsWebAddress, AcceptsOnlyAbsoluteHttpAddresses)
{
    EXPECT_EQ(isWebAddress(GetParam().address), GetParam().isWeb) << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsWebAddress,
    ::testing::Values(AddressCase{"Http", "http://127.0.0.1:18731/005827.html", true},
                      AddressCase{"Https", "https://fund.example.com/005827.html", true},
                      AddressCase{"UpperCaseScheme", "HTTP://FUND.EXAMPLE.COM/", true},
                      AddressCase{"MixedCaseHttps", "HtTpS://fund.example.com", true},
                      AddressCase{"HostOnly", "http://localhost", true},
                      AddressCase{"QueryRightAfterHost", "http://127.0.0.1:18731?secid=1.600519", true},
                      AddressCase{"Ipv6Host", "http://[::1]:18731/x", true},
                      AddressCase{"UserInformation", "http://user@fund.example.com/", true},
                      AddressCase{"NonAsciiPath", "http://fund.example.com/\xB9\xC9.html", true},
                      AddressCase{"Javascript", "javascript:alert(1)", false},
                      AddressCase{"File", "file:///etc/passwd", false},
                      AddressCase{"FileWithHost", "file://localhost/etc/passwd", false},
                      AddressCase{"Ftp", "ftp://fund.example.com/a", false},
                      AddressCase{"Data", "data:text/html,<b>x</b>", false},
                      AddressCase{"BarePath", "/sh600519.html", false},
                      AddressCase{"ProtocolRelative", "//quote.example.com/unify/r/1.600519", false},
                      AddressCase{"RelativeName", "sh600519.html", false},
                      AddressCase{"SchemeOnly", "http://", false},
                      AddressCase{"EmptyHost", "http:///etc/passwd", false},
                      AddressCase{"PortWithoutHost", "http://:80/", false},
                      AddressCase{"PortNotANumber", "http://fund.example.com:80a/", false},
                      AddressCase{"UnclosedIpv6", "http://[::1/x", false},
                      AddressCase{"SchemeLookalike", "httpx://fund.example.com/", false},
                      AddressCase{"LeadingBlank", " http://fund.example.com/", false},
                      AddressCase{"BlankInside", "http://fund.example.com/a b", false},
                      AddressCase{"TabInside", "http://fund.example.com/a\tb", false},
                      AddressCase{"LineBreakInside", "http://fund.example.com/\r\nHost: evil", false},
                      AddressCase{"ZeroByteInside", "http://fund.example.com/\0.html"s, false},
                      AddressCase{"DeleteCharacter", "http://fund.example.com/\x7F", false},
                      AddressCase{"Empty", "", false}),
    [](const ::testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

struct ResolveCase {
    const char* name;
    std::string link;
    std::string base;
    std::string expected;
};

void PrintTo(const ResolveCase& c, std::ostream* out)
{
    *out << c.name;
}

class ResolveLink : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveLink, GivesTheAddressToFetch)
{
    EXPECT_EQ(resolveLink(GetParam().link, GetParam().base), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveLink,
    ::testing::Values(
        ResolveCase{"ProtocolRelativeTakesScheme", "//quote.example.com/unify/r/1.600519",
                    "http://127.0.0.1:18731/", "http://quote.example.com/unify/r/1.600519"},
        ResolveCase{"ProtocolRelativeKeepsHttps", "//quote.example.com/x", "https://fund.example.com/",
                    "https://quote.example.com/x"},
        ResolveCase{"ProtocolRelativeKeepsSchemeCase", "//q.example.com/x", "HTTP://fund.example.com/",
                    "HTTP://q.example.com/x"},
        ResolveCase{"RootRelativeTakesHostAndPort", "/us/AAPL.html", "http://127.0.0.1:18731/",
                    "http://127.0.0.1:18731/us/AAPL.html"},
        ResolveCase{"RootRelativeIgnoresBasePath", "/sh600519.html",
                    "http://fund.example.com/funds/page.html?x=1", "http://fund.example.com/sh600519.html"},
        ResolveCase{"RootRelativeBaseWithoutPath", "/x", "https://fund.example.com",
                    "https://fund.example.com/x"},
        ResolveCase{"RootRelativeBaseWithQueryOnly", "/x", "http://fund.example.com?a=1",
                    "http://fund.example.com/x"},
        ResolveCase{"RootRelativeDropsUserInformation", "/x", "http://user:pw@fund.example.com:81/",
                    "http://fund.example.com:81/x"},
        ResolveCase{"RootRelativeIpv6", "/x", "http://[::1]:18731/", "http://[::1]:18731/x"},
        ResolveCase{"AbsoluteUnchanged", "http://other.example.com/sh600519.html", "http://127.0.0.1:18731/",
                    "http://other.example.com/sh600519.html"},
        ResolveCase{"JavascriptUnchanged", "javascript:alert(1)", "http://127.0.0.1:18731/",
                    "javascript:alert(1)"},
        ResolveCase{"RelativeNameUnchanged", "sh600519.html", "http://127.0.0.1:18731/", "sh600519.html"},
        ResolveCase{"LeadingBlankUnchanged", " /x", "http://127.0.0.1:18731/", " /x"},
        ResolveCase{"EmptyUnchanged", "", "http://127.0.0.1:18731/", ""},
        ResolveCase{"BaseNotWebUnchanged", "/x", "file:///etc/", "/x"}),
    [](const ::testing::TestParamInfo<ResolveCase>& info) { return std::string(info.param.name); });

TEST(ResolveLink, ResolvedRelativeLinksAreWebAddresses)
{
    const std::string base = "http://127.0.0.1:18731/";
    for (const char* link : {"//127.0.0.1:18731/unify/r/105.AAPL", "/us/AAPL.html", "/hk/00700.html"})
        EXPECT_TRUE(isWebAddress(resolveLink(link, base))) << link;
    // A link that resolves to nothing fetchable stays unfetchable.
    EXPECT_FALSE(isWebAddress(resolveLink("//", base)));
    EXPECT_FALSE(isWebAddress(resolveLink("//host/a b", base)));
}

}  // namespace
}  // namespace corvelle::collect
