#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DevServer.h"

int main(int argc, char** argv) {
    bool help = false;
    ovira::devserver::DevServer::Options options;
    try {
        options = ovira::devserver::parseCommandLine(
            std::vector<std::string>(argv + std::min(argc, 1), argv + argc), help);
    } catch (const std::exception& error) {
        std::cerr << "ekyc-devserver: " << error.what() << "\nTry --help.\n";
        return 2;
    }
    if (help) {
        std::cout << ovira::devserver::commandLineUsage();
        return 0;
    }

    // Blocked before the server's threads exist, so that they inherit the mask
    // and the signals reach sigwait below rather than killing a worker.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ovira::devserver::DevServer server(options);
    try {
        server.start();
    } catch (const std::exception& error) {
        std::cerr << "ekyc-devserver: " << error.what() << '\n';
        return 1;
    }
    std::cout << "Data folder: " << server.dataDir().string() << '\n'
              << "CA certificate: " << server.caFile().string() << '\n'
              << "Listening on " << server.baseURL() << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    std::cout << "Stopping (" << (received == SIGINT ? "SIGINT" : "SIGTERM") << ")" << std::endl;
    server.stop();
    return 0;
}
