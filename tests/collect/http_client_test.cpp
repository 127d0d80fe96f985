// HTTP GET and fetchText against real servers on 127.0.0.1: the request's exact shape, bodies of error
// pages, and every way a fetch can fail (refused, silent server, bad redirects, oversized body, abort).
#include "collect/http_client.h"

#include "tests/support/test_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::collect {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using corvelle::testing::TestServer;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Short limits so a silent server costs well under a second.
FetchLimits shortLimits()
{
    FetchLimits limits;
    limits.connectTimeout = 300ms;
    limits.totalTimeout = 300ms;
    return limits;
}

// A socket listening on 127.0.0.1 that never accepts: the kernel completes the handshake, the request is
// sent, and no answer ever comes.
class SilentListener {
public:
    SilentListener()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_socket, 8) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    [[nodiscard]] std::string url() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/page.html";
    }
    [[nodiscard]] bool ready() const { return m_port != 0; }

private:
    int m_socket = -1;
    int m_port = 0;
};

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The header names a client sent; cpp-httplib adds the connection's addresses as pseudo-headers.
std::set<std::string> sentHeaderNames(const corvelle::testing::ReceivedRequest& request)
{
    static const std::set<std::string> kServerAdded = {"remote_addr", "remote_port", "local_addr",
                                                       "local_port"};
    std::set<std::string> names;
    for (const auto& [name, value] : request.headers)
        if (!kServerAdded.contains(lowerCase(name)))
            names.insert(lowerCase(name));
    return names;
}

// The server records a request after it has sent the response, so the client can be a moment ahead.
std::vector<corvelle::testing::ReceivedRequest> recordedRequests(const TestServer& server,
                                                                 std::size_t expected)
{
    for (int i = 0; i < 400 && server.requests().size() < expected; ++i)
        std::this_thread::sleep_for(5ms);
    return server.requests();
}

class HttpClientTest : public ::testing::Test {
protected:
    void TearDown() override { m_server.stop(); }

    std::string url(const std::string& path) const { return m_server.baseUrl() + path; }

    TestServer m_server;
};

TEST_F(HttpClientTest, SendsHttp10WithExactlyTheFourHeaders)
{
    m_server.serve("/005827.html", "<html>ok</html>");
    m_server.start();

    const FetchResult result = httpGet(url("/005827.html"));

    ASSERT_EQ(result.failure, FetchFailure::None) << toString(result.failure);
    EXPECT_EQ(result.body, "<html>ok</html>");
    EXPECT_EQ(result.status, 200);
    const auto requests = recordedRequests(m_server, 1);
    ASSERT_EQ(requests.size(), 1U);
    const auto& request = requests.front();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.version, "HTTP/1.0");
    EXPECT_EQ(request.path, "/005827.html");
    EXPECT_EQ(request.header("Host"), "127.0.0.1:" + std::to_string(m_server.port()));
    EXPECT_EQ(request.header("User-Agent"), kUserAgent);
    EXPECT_EQ(request.header("Accept"), "*/*");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
    // Nothing else: no Accept-Encoding (the body must arrive as the bytes it is), no Connection, no cookies.
    EXPECT_EQ(sentHeaderNames(request), (std::set<std::string>{"host", "user-agent", "accept", "pragma"}));
}

TEST_F(HttpClientTest, KeepsTheQueryOfAQuoteRequest)
{
    m_server.serve("/api/qt/stock/get", R"({"data":{"f43":1.5,"f57":"600519"}})", "application/json");
    m_server.start();

    const std::string query = "ut=3e9b0c71d2a84f56b1e07c9d4a2f6e83&fltt=2&fields=f43,f57,f58&secid=1.600519";
    const FetchResult result = httpGet(url("/api/qt/stock/get?" + query));

    EXPECT_EQ(result.body, R"({"data":{"f43":1.5,"f57":"600519"}})");
    const auto requests = recordedRequests(m_server, 1);
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests.front().query, query);
}

TEST_F(HttpClientTest, ReturnsTheBodyWhateverTheStatus)
{
    for (int status : {404, 500, 503}) {
        m_server.get("/status/" + std::to_string(status), [status](const httplib::Request&,
                                                                   httplib::Response& response) {
            response.status = status;
            response.set_content("<html>error " + std::to_string(status) + "</html>", "text/html");
        });
    }
    m_server.start();

    for (int status : {404, 500, 503}) {
        const FetchResult result = httpGet(url("/status/" + std::to_string(status)));
        EXPECT_EQ(result.failure, FetchFailure::None) << status;
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.body, "<html>error " + std::to_string(status) + "</html>");
    }
}

TEST_F(HttpClientTest, RefusedConnectionGivesNothing)
{
    m_server.start();
    const std::string closedUrl = url("/page.html");
    m_server.stop();  // the port is now closed

    const FetchResult result = httpGet(closedUrl, shortLimits());

    EXPECT_EQ(result.failure, FetchFailure::CannotConnect) << toString(result.failure);
    EXPECT_EQ(result.body, "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(fetchText(closedUrl, shortLimits()), "");
}

TEST(HttpClientTimeout, ServerThatNeverAnswersTimesOut)
{
    const SilentListener silent;
    ASSERT_TRUE(silent.ready());

    const FetchResult result = httpGet(silent.url(), shortLimits());

    EXPECT_EQ(result.failure, FetchFailure::TimedOut) << toString(result.failure);
    EXPECT_EQ(result.body, "");
    EXPECT_EQ(fetchText(silent.url(), shortLimits()), "");
}

TEST(HttpClientAbort, FlagRaisedDuringTheTransferAbortsIt)
{
    const SilentListener silent;
    ASSERT_TRUE(silent.ready());
    FetchLimits limits;
    limits.totalTimeout = 10s;  // only the abort flag can end this transfer early
    std::atomic<bool> abort{false};
    std::thread raiser([&abort] {
        std::this_thread::sleep_for(100ms);
        abort = true;
    });

    const FetchResult result = httpGet(silent.url(), limits, &abort);
    raiser.join();

    EXPECT_EQ(result.failure, FetchFailure::Aborted) << toString(result.failure);
    EXPECT_EQ(result.body, "");
}

TEST_F(HttpClientTest, FlagAlreadyRaisedSendsNoRequest)
{
    m_server.serve("/page.html", "body");
    m_server.start();
    const std::atomic<bool> abort{true};

    const FetchResult result = httpGet(url("/page.html"), {}, &abort);

    EXPECT_EQ(result.failure, FetchFailure::Aborted);
    EXPECT_EQ(result.body, "");
    EXPECT_EQ(m_server.requestCount("/page.html"), 0);
}

TEST_F(HttpClientTest, FollowsUpToFiveRedirectsAndNoMore)
{
    // /hop/N redirects to /hop/N-1; /hop/0 is the page.
    m_server.get(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        const int left = std::stoi(request.matches[1].str());
        if (left == 0)
            response.set_content("arrived", "text/plain");
        else
            response.set_redirect("/hop/" + std::to_string(left - 1));
    });
    m_server.start();

    const FetchResult five = httpGet(url("/hop/5"));
    EXPECT_EQ(five.failure, FetchFailure::None) << toString(five.failure);
    EXPECT_EQ(five.body, "arrived");
    EXPECT_EQ(five.status, 200);

    const FetchResult six = httpGet(url("/hop/6"));
    EXPECT_NE(six.failure, FetchFailure::None);
    EXPECT_EQ(six.body, "");
    EXPECT_EQ(fetchText(url("/hop/6")), "");
}

TEST_F(HttpClientTest, RedirectToAnotherSchemeIsNotFollowed)
{
    m_server.get("/to-file", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("file:///etc/hostname");
        response.set_content("redirect page", "text/plain");
    });
    m_server.get("/to-ftp", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("ftp://127.0.0.1/x");
    });
    m_server.start();

    for (const char* path : {"/to-file", "/to-ftp"}) {
        const FetchResult result = httpGet(url(path));
        EXPECT_NE(result.failure, FetchFailure::None) << path;
        EXPECT_EQ(result.body, "") << path;
    }
}

TEST(HttpClientAddress, OnlyHttpAddressesAreFetched)
{
    for (const char* address : {"file:///etc/hostname", "ftp://127.0.0.1/", "javascript:alert(1)",
                                "/sh600519.html", "//127.0.0.1/x", "", "http://127.0.0.1/a b"}) {
        const FetchResult result = httpGet(address);
        EXPECT_EQ(result.failure, FetchFailure::NotWebAddress) << address;
        EXPECT_EQ(result.body, "") << address;
        EXPECT_EQ(fetchText(address), "") << address;
    }
}

TEST_F(HttpClientTest, BodyOverTheCapGivesNothing)
{
    const std::string body(1000, 'x');
    m_server.serve("/sized", body, "text/plain");
    // Without a length announced, the cap must be enforced while the bytes arrive.
    m_server.get("/streamed", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            const std::string piece(250, 'y');
            for (int i = 0; i < 4; ++i)
                sink.write(piece.data(), piece.size());
            sink.done();
            return true;
        });
    });
    m_server.start();

    FetchLimits limits;
    limits.maxBodyBytes = 999;
    for (const char* path : {"/sized", "/streamed"}) {
        const FetchResult result = httpGet(url(path), limits);
        EXPECT_EQ(result.failure, FetchFailure::TooLarge) << path << ": " << toString(result.failure);
        EXPECT_EQ(result.body, "") << path;
    }

    limits.maxBodyBytes = 1000;
    for (const char* path : {"/sized", "/streamed"}) {
        const FetchResult result = httpGet(url(path), limits);
        EXPECT_EQ(result.failure, FetchFailure::None) << path << ": " << toString(result.failure);
        EXPECT_EQ(result.body.size(), 1000U) << path;
    }
}

TEST_F(HttpClientTest, FetchTextConvertsBodiesToGbk)
{
    struct Case {
        const char* name;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {"HoldingsMarker", "<th>持仓占比</th>", "<th>\xB3\xD6\xB2\xD6\xD5\xBC\xB1\xC8</th>"},
        {"AsciiUnchanged", R"({"f43":12.34,"f57":"600519"})", R"({"f43":12.34,"f57":"600519"})"},
        {"ByteOrderMarkDropped", "\xEF\xBB\xBF<html>", "<html>"},
        {"InvalidUtf8BecomesQuestionMarks",
         "a\xFF\xC0\xAF"
         "b",
         "a???b"},
        {"EuroSign", "\xE2\x82\xAC", "\x80"},
        {"CutAtTheFirstZeroByte", "var market = \"105\";\0<script>"s, "var market = \"105\";"},
        {"ZeroByteFirst", "\0abc"s, ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        m_server.serve("/case" + std::to_string(i), cases[i].body);
    m_server.start();

    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(fetchText(url("/case" + std::to_string(i))), cases[i].expected) << cases[i].name;
}

// True when every byte is ASCII, the euro byte, or part of a complete GBK two-byte character.
bool isWellFormedGbk(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x81 || byte == 0xFF)
            continue;
        if (i + 1 >= text.size())
            return false;
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return false;
    }
    return true;
}

TEST_F(HttpClientTest, LargeRandomBodyConvertsToWellFormedGbk)
{
    // 5 MB of random bytes without zero bytes, so the whole body goes through the converter.
    std::mt19937_64 generator(20260930);
    std::string body(5 << 20, '\0');
    for (std::size_t i = 0; i < body.size(); i += 8) {
        std::uint64_t bits = generator();
        for (std::size_t k = 0; k < 8; ++k, bits >>= 8)
            body[i + k] = static_cast<char>((bits & 0xFF) == 0 ? 1 : bits & 0xFF);
    }
    m_server.serve("/random", body, "application/octet-stream");
    m_server.start();

    const std::string text = fetchText(url("/random"));

    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), body.size());
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_TRUE(isWellFormedGbk(text));
}

}  // namespace
}  // namespace corvelle::collect
