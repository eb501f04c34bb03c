// Any bytes as the whole raw HTTP answer, after a real TLS handshake on
// loopback, to the HTTP client: it returns a decoded answer or throws
// EKYCAPIError, within its time-outs, whatever the bytes are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "hostile/HostileServer.h"
#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "pki/CertificateAuthority.h"

namespace {

using namespace ovira;

struct Harness {
    pki::CertificateAuthority authority = pki::CertificateAuthority::create("OVIRA Fuzz CA");
    std::filesystem::path caFile =
        std::filesystem::temp_directory_path() / ("ovira-fuzz-ca-" + std::to_string(::getpid()) + ".pem");
    std::unique_ptr<hostile::HostileServer> server;
    std::unique_ptr<EKYCHTTPClient> client;

    Harness() {
        pki::writeFile(caFile, authority.certificatePem(),
                       std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        server = std::make_unique<hostile::HostileServer>(authority.issue({}), authority.certificatePem());
        EKYCHTTPClient::Configuration configuration;
        configuration.additionalCACertificateFile = caFile.string();
        configuration.timeoutInterval = 2.0;
        configuration.totalTimeoutInterval = 4.0;
        configuration.maxResponseBytes = 1u << 20;
        client = std::make_unique<EKYCHTTPClient>(configuration);
    }
    ~Harness() { std::filesystem::remove(caFile); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness harness;
    harness.server->setRawResponse(std::string(reinterpret_cast<const char*>(data), size));
    try {
        harness.client->dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(
            harness.server->baseURL(), "/fuzz", {}, {}, EKYCHTTPMethod::get, *JSONDecoder::shared());
    } catch (const EKYCAPIError&) {
        // Refusing the answer is fine; anything else escaping is not.
    }
    return 0;
}
