// A real HTTP server on 127.0.0.1 for tests.
#include "tests/support/test_server.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace corvelle::testing {

std::string ReceivedRequest::header(const std::string& name) const
{
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

TestServer::TestServer()
{
    // Record before any handler runs, so a test that reads requests() as soon as its reply arrived
    // always finds the request there.
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        ReceivedRequest received;
        received.method = request.method;
        received.version = request.version;
        received.path = request.path;
        auto question = request.target.find('?');
        if (question != std::string::npos)
            received.query = request.target.substr(question + 1);
        received.headers = request.headers;
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(received));
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

TestServer::~TestServer() { stop(); }

void TestServer::get(const std::string& pattern, Handler handler) { m_server.Get(pattern, std::move(handler)); }

void TestServer::serve(const std::string& path, std::string body, std::string contentType)
{
    std::string escaped;
    for (char c : path) {
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos)
            escaped += '\\';
        escaped += c;
    }
    m_server.Get(escaped, [body = std::move(body), contentType = std::move(contentType)](
                              const httplib::Request&, httplib::Response& response) {
        response.set_content(body, contentType.c_str());
    });
}

void TestServer::start()
{
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("test server could not bind to 127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    for (int i = 0; i < 500 && !m_server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void TestServer::stop()
{
    if (m_thread.joinable()) {
        m_server.stop();
        m_thread.join();
    }
}

std::string TestServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

std::vector<ReceivedRequest> TestServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int TestServer::requestCount(const std::string& path) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                          [&](const ReceivedRequest& r) { return r.path == path; }));
}

void TestServer::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

}  // namespace corvelle::testing
