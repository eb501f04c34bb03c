// Every attack of the hostile test server against the HTTP client with its
// default caps and a 3-second total deadline: the error each ends in, how
// long the caller waits for it, and the process's peak memory as the attacks
// go by (a client that buffered what the attacks send would grow by 64 MiB
// for the compressed bomb alone).
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "BenchSupport.h"
#include "hostile/HostileServer.h"
#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "ovira/EKYCLogger.h"
#include "pki/CertificateAuthority.h"

using namespace ovira;
using hostile::Attack;

namespace {

double peakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main() {
    EKYCLogger::setSink([](const EKYCLogEntry&) {});  // the table, not the log
    const auto authority = pki::CertificateAuthority::create("OVIRA Bench CA");
    const auto caFile = std::filesystem::temp_directory_path() / ("ovira-bench-ca-" + std::to_string(getpid()));
    pki::writeFile(caFile, authority.certificatePem(),
                   std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    hostile::HostileServer server(authority.issue({}), authority.certificatePem());
    server.setTrickleInterval(std::chrono::milliseconds(500));

    EKYCHTTPClient::Configuration configuration;  // the default caps
    configuration.additionalCACertificateFile = caFile.string();
    configuration.timeoutInterval = 2.0;
    configuration.totalTimeoutInterval = 3.0;
    const EKYCHTTPClient client(configuration);
    const auto fetch = [&] {
        try {
            client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/x", {}, {},
                                                                   EKYCHTTPMethod::get, *JSONDecoder::shared());
            return std::string("accepted (a fault)");
        } catch (const EKYCAPIError& error) {
            return std::to_string(error.code()) + " " + error.localizedDescription();
        }
    };
    server.setRawResponse("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n{\"statusCode\":0}");
    fetch();  // TLS and the allocator warm
    malloc_trim(0);
    const double startMB = peakResidentMB();

    std::printf("\nHostile service: each attack's error, the caller's wait (total deadline 3 s), peak memory\n");
    std::printf("%-24s %-56s %12s %16s\n", "attack", "error", "wait median", "peak growth");
    for (int i = 0; i <= static_cast<int>(Attack::hugeCertificateChain); ++i) {
        const auto attack = static_cast<Attack>(i);
        server.play(attack);
        const bool slow = attack == Attack::trickle || attack == Attack::handshakeStall;
        std::vector<double> waits;
        std::string error;
        for (int round = 0; round < (slow ? 2 : 10); ++round) {
            const auto started = std::chrono::steady_clock::now();
            error = fetch();
            waits.push_back(bench::millisecondsSince(started));
        }
        const auto stats = bench::summarize(waits);
        std::printf("%-24s %-56s %12s %16s\n", hostile::nameOf(attack), error.substr(0, 56).c_str(),
                    bench::format(stats.median, 1, " ms").c_str(),
                    bench::format(peakResidentMB() - startMB, 1, " MB").c_str());
    }
    std::printf("peak memory: %.1f MB at start, %.1f MB after every attack (growth target <= 40 MB, 2.5 x the 16 MiB body cap)\n", startMB,
                peakResidentMB());
    std::filesystem::remove(caFile);
    return 0;
}
