// ovira-hostile-server ATTACK [--trickle-ms N] [--ca FILE]: serves one
// attack on https://127.0.0.1:<port> until interrupted, for trying a client
// by hand. It prints the address and writes the CA certificate the client
// must trust to FILE (default ./hostile-ca.pem).
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "HostileServer.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

int usage() {
    std::fprintf(stderr, "usage: ovira-hostile-server ATTACK [--trickle-ms N] [--ca FILE]\nattacks:");
    for (int i = 0; i <= static_cast<int>(ovira::hostile::Attack::hugeCertificateChain); ++i)
        std::fprintf(stderr, " %s", ovira::hostile::nameOf(static_cast<ovira::hostile::Attack>(i)));
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using ovira::hostile::Attack;
    if (argc < 2) return usage();
    int attack = -1;
    for (int i = 0; i <= static_cast<int>(Attack::hugeCertificateChain); ++i)
        if (std::strcmp(argv[1], ovira::hostile::nameOf(static_cast<Attack>(i))) == 0) attack = i;
    if (attack < 0) return usage();
    std::string caFile = "hostile-ca.pem";
    long trickleMs = 29000;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--trickle-ms") == 0)
            trickleMs = std::strtol(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--ca") == 0)
            caFile = argv[i + 1];
        else
            return usage();
    }
    if (trickleMs <= 0) return usage();
    try {
        const auto authority = ovira::pki::CertificateAuthority::create("OVIRA Hostile CA");
        ovira::pki::writeFile(caFile, authority.certificatePem(),
                              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        ovira::hostile::HostileServer server(authority.issue({}), authority.certificatePem());
        server.play(static_cast<Attack>(attack));
        server.setTrickleInterval(std::chrono::milliseconds(trickleMs));
        std::signal(SIGINT, [](int) { interrupted = 1; });
        std::signal(SIGTERM, [](int) { interrupted = 1; });
        std::printf("%s on %s (trust %s); Ctrl+C stops\n", argv[1], server.baseURL().c_str(), caFile.c_str());
        std::fflush(stdout);
        while (!interrupted) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ovira-hostile-server: %s\n", error.what());
        return 1;
    }
    return 0;
}
