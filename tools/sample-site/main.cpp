// corvelle-sample-site: serves the bundled illustrative fund pages, stock pages and quote replies on
// 127.0.0.1 until it gets SIGINT or SIGTERM.
#include "tools/sample-site/sample_site.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <system_error>
#include <thread>

namespace {

constexpr int kDefaultPort = 18731;
constexpr const char* kDefaultBind = "127.0.0.1";

struct Options {
    int port = kDefaultPort;
    std::string bind = kDefaultBind;
    long latencyMs = 0;
    std::optional<std::filesystem::path> dataFolder;
};

void printUsage(std::ostream& out)
{
    out << "Usage: corvelle-sample-site [--port N] [--bind ADDRESS] [--latency-ms N] [--data DIR]\n"
           "Serves an illustrative fund site and quote service (not live market data).\n"
           "  --port N        port to listen on (default 18731)\n"
           "  --bind ADDRESS  address to listen on (default 127.0.0.1)\n"
           "  --latency-ms N  wait N milliseconds before answering each request (default 0)\n"
           "  --data DIR      folder with stocks.tsv, funds.tsv and holdings.tsv\n";
}

std::optional<long> parseNumber(std::string_view text, long low, long high)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// Parses the command line; nothing (after printing why) when it is wrong or only help was asked for.
std::optional<Options> parseOptions(int argc, char** argv, int& exitCode)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            printUsage(std::cout);
            exitCode = EXIT_SUCCESS;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            std::cerr << "corvelle-sample-site: " << argument << " needs a value (or is unknown)\n";
            printUsage(std::cerr);
            exitCode = EXIT_FAILURE;
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        bool ok = true;
        if (argument == "--port") {
            const auto port = parseNumber(value, 1, 65535);
            ok = port.has_value();
            options.port = static_cast<int>(port.value_or(0));
        } else if (argument == "--bind") {
            ok = !value.empty();
            options.bind = value;
        } else if (argument == "--latency-ms") {
            const auto latency = parseNumber(value, 0, 600000);
            ok = latency.has_value();
            options.latencyMs = latency.value_or(0);
        } else if (argument == "--data") {
            options.dataFolder = std::filesystem::path(value);
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << "corvelle-sample-site: bad option " << argument << " " << value << "\n";
            printUsage(std::cerr);
            exitCode = EXIT_FAILURE;
            return std::nullopt;
        }
    }
    return options;
}

// The data folder: the one given, else a "data" folder beside the executable, else the source tree's.
std::filesystem::path dataFolder(const Options& options)
{
    if (options.dataFolder)
        return *options.dataFolder;
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path beside = executable.parent_path() / "data";
        if (std::filesystem::exists(beside / "funds.tsv", error))
            return beside;
    }
    return corvelle::samplesite::sourceDataFolder();
}

}  // namespace

int main(int argc, char** argv)
{
    int exitCode = EXIT_SUCCESS;
    const std::optional<Options> options = parseOptions(argc, argv, exitCode);
    if (!options)
        return exitCode;

    const std::filesystem::path folder = dataFolder(*options);
    corvelle::samplesite::LoadResult loaded = corvelle::samplesite::loadSiteData(folder);
    if (!loaded.data) {
        std::cerr << "corvelle-sample-site: " << loaded.error << "\n";
        return EXIT_FAILURE;
    }
    const auto data = std::make_shared<const corvelle::samplesite::SiteData>(std::move(*loaded.data));

    // SIGINT and SIGTERM are taken by sigwait below; every thread started from here on inherits the mask,
    // so no server thread is interrupted by them. A client that hangs up must not kill the server.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    // cpp-httplib's default also sets SO_REUSEPORT, which would let a second copy share the port silently;
    // a second copy must fail instead, so that "already running" is visible.
    server.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    corvelle::samplesite::registerSampleSite(server, data, {std::chrono::milliseconds(options->latencyMs)});
    if (!server.bind_to_port(options->bind, options->port)) {
        std::cerr << "corvelle-sample-site: cannot listen on " << options->bind << ":" << options->port
                  << " (in use, or not an address of this machine)\n";
        return EXIT_FAILURE;
    }
    std::thread listener([&server] { server.listen_after_bind(); });
    std::cout << "corvelle-sample-site: " << data->funds.size() << " funds from " << folder.string()
              << " at http://" << options->bind << ":" << options->port
              << "/ (illustrative data, not live market data); stop with Ctrl+C" << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    listener.join();
    std::cout << "corvelle-sample-site: stopped" << std::endl;
    return EXIT_SUCCESS;
}
