// fake-korvanta: a stand-in for the Korvanta REST service (see --help).
#include "Options.h"
#include "Server.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

namespace {

volatile std::sig_atomic_t g_signalled = 0;

extern "C" void onSignal(int) {
    g_signalled = 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = fake::parseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "fake-korvanta: %s\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(fake::usage().c_str(), stdout);
        return 0;
    }
    try {
        fake::Server server(*options);
        const int port = server.bind();
        if (port <= 0) {
            std::fprintf(stderr, "fake-korvanta: cannot listen on 127.0.0.1:%d\n", options->port);
            return 1;
        }
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
        if (options->stopAtStdinEnd) {
            // Blocks in a read until the input closes; left behind when the process ends.
            std::thread([] {
                while (std::getchar() != EOF) {
                }
                g_signalled = 1;
            }).detach();
        }
        std::atomic<bool> finished{false};
        // Signal handlers may only set a flag; this thread turns it into a stop.
        std::thread watcher([&] {
            while (!finished && !g_signalled) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (finished) return;
            server.stop();
            // Requests in progress are answered (at most 5 s more). A kept-alive
            // connection that is merely open would hold the server until its
            // idle time-out: once nothing is being answered, end at once.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!finished && !server.idle() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (finished) return;
            server.freezeJournal();
            std::fflush(stdout);
            std::_Exit(0);
        });
        std::printf("fake-korvanta listening on http://127.0.0.1:%d/\n", port);
        std::fflush(stdout);
        const bool ok = server.run();
        finished = true;
        watcher.join();
        return ok || g_signalled ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fake-korvanta: %s\n", e.what());
        return 1;
    }
}
