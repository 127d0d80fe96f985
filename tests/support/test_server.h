// A real HTTP server on 127.0.0.1 for tests: serves handlers on an ephemeral port and records every request.
#pragma once

#include <httplib.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::testing {

// One request as the server received it.
struct ReceivedRequest {
    std::string method;
    std::string version;  // "HTTP/1.0" or "HTTP/1.1"
    std::string path;     // without the query
    std::string query;    // the raw query text after "?", empty when none
    httplib::Headers headers;

    [[nodiscard]] std::string header(const std::string& name) const;
};

class TestServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Register a handler for GET requests whose path matches the regular expression.
    void get(const std::string& pattern, Handler handler);
    // Serve a fixed body for one exact path.
    void serve(const std::string& path, std::string body, std::string contentType = "text/html; charset=utf-8");

    // Starts listening; handlers must be registered before.
    void start();
    void stop();

    [[nodiscard]] int port() const { return m_port; }
    // "http://127.0.0.1:<port>" without a trailing slash.
    [[nodiscard]] std::string baseUrl() const;

    [[nodiscard]] std::vector<ReceivedRequest> requests() const;
    [[nodiscard]] int requestCount(const std::string& path) const;
    void clearRequests();

    httplib::Server& server() { return m_server; }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
};

}  // namespace corvelle::testing
