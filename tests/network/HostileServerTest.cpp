// The HTTP client against a server that breaks HTTP and TLS on purpose.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>

#include "api/EKYCRepoImpl.h"
#include "hostile/HostileServer.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "support/ExpectFailure.h"
#include "support/LogCapture.h"
#include "support/ResidentMemory.h"
#include "support/TemporaryDirectory.h"
#include "support/TlsTestServer.h"

namespace ovira {
namespace {

using hostile::Attack;
using hostile::HostileServer;
using test::TestPKI;
using Void = EKYCBaseApiResponse<EKYCVoidResponse>;
using Clock = std::chrono::steady_clock;

EKYCHTTPClient::Configuration impatient() {
    EKYCHTTPClient::Configuration configuration;
    configuration.additionalCACertificateFile = TestPKI::caFile();
    configuration.timeoutInterval = 1.0;
    configuration.totalTimeoutInterval = 3.0;
    configuration.maxResponseBytes = 1u << 20;
    return configuration;
}

Void fetch(const EKYCHTTPClient& client, const std::string& url) {
    return client.dataTask<Void>(url, "/v1/ekyc/getInfo", {}, {}, EKYCHTTPMethod::get, *JSONDecoder::shared());
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// What each attack must end in: a transport error (URLErrorCode) or one of
// the library's own codes.
struct Expected {
    Attack attack;
    std::optional<URLErrorCode> transport;
    std::optional<EKYCAPIErrorCode> library = std::nullopt;
};

class HostileServerTest : public ::testing::TestWithParam<Expected> {
protected:
    static void SetUpTestSuite() {
        server = new HostileServer(TestPKI::localhost(), TestPKI::authority().certificatePem());
        server->setTrickleInterval(std::chrono::milliseconds(300));
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static inline HostileServer* server = nullptr;
};

TEST_P(HostileServerTest, EndsInTheLibrarysErrorWithinTheDeadlineAndLogsNoHostileBytes) {
    const Expected expected = GetParam();
    server->play(expected.attack);
    test::LogCapture log;
    const EKYCHTTPClient client(impatient());
    const auto started = Clock::now();
    const EKYCAPIError error = test::failureOf([&] { fetch(client, server->baseURL()); });
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (expected.transport) {
        EXPECT_EQ(error.code(), static_cast<int>(*expected.transport)) << error.localizedDescription();
    } else {
        EXPECT_EQ(error.codeType(), *expected.library) << error.localizedDescription();
    }
    // The total deadline is 3 s; a client that waited for the attack to end
    // would wait for ever (the trickle announces 1 MB at a byte per 0.3 s).
    EXPECT_LT(seconds, 20.0);
    for (const char* hostileBytes : {"aaaaaaaaaaaaaaaa", "X-Header-", "caf\xc3\xa9", "Odd", "Beyond", "KO"})
        EXPECT_EQ(log.lineContaining(hostileBytes), "");
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, HostileServerTest,
    ::testing::Values(Expected{Attack::trickle, URLErrorCode::timedOut},
                      Expected{Attack::compressionBomb, URLErrorCode::dataLengthExceedsMaximum},
                      Expected{Attack::conflictingLengths, URLErrorCode::badServerResponse},
                      Expected{Attack::chunkedAndLength, URLErrorCode::badServerResponse},
                      Expected{Attack::hugeHeader, URLErrorCode::badServerResponse},
                      Expected{Attack::manyHeaders, URLErrorCode::badServerResponse},
                      Expected{Attack::nonAsciiHeader, URLErrorCode::badServerResponse},
                      Expected{Attack::status299, std::nullopt, EKYCAPIErrorCode::noStatusCode},
                      Expected{Attack::status600, std::nullopt, EKYCAPIErrorCode::noStatusCode},
                      Expected{Attack::malformedStatusLine, URLErrorCode::badServerResponse},
                      Expected{Attack::hugeChunkSize, URLErrorCode::networkConnectionLost},
                      Expected{Attack::truncatedWithoutNotify, URLErrorCode::networkConnectionLost},
                      Expected{Attack::handshakeStall, URLErrorCode::timedOut},
                      Expected{Attack::hugeCertificateChain, URLErrorCode::secureConnectionFailed}),
    [](const ::testing::TestParamInfo<Expected>& attack) { return std::string(hostile::nameOf(attack.param.attack)); });

class HostileService : public HostileServerTest {};

TEST_F(HostileService, TheClientsMemoryDoesNotGrowWithTheAttacksSize) {
    // Each attack is far larger than the client may hold: 64 MiB of
    // decompressed zeros, a 1 MiB header line, 10,000 headers. A client that
    // buffered them would grow by at least that much.
    auto configuration = impatient();
    configuration.maxResponseBytes = 4u << 20;
    const EKYCHTTPClient client(configuration);
    // A plain exchange first, so that TLS and the allocator are warm.
    server->setRawResponse(
        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 16\r\n\r\n{\"statusCode\":0}");
    EXPECT_NO_THROW(fetch(client, server->baseURL()));
    malloc_trim(0);
    const long before = peakResidentKiB();
    for (const Attack attack : {Attack::compressionBomb, Attack::hugeHeader, Attack::manyHeaders}) {
        server->play(attack);
        for (int round = 0; round < 3; ++round) test::failureOf([&] { fetch(client, server->baseURL()); });
    }
    if (test::kResidentMemoryIsMeaningful) {
        EXPECT_LT(peakResidentKiB() - before, 24 * 1024) << "KiB of peak growth";
    }
}

TEST_F(HostileService, RawResponsesAreServedAsGiven) {
    const EKYCHTTPClient client(impatient());
    server->setRawResponse(
        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 16\r\n\r\n{\"statusCode\":0}");
    EXPECT_NO_THROW(fetch(client, server->baseURL()));
    server->setRawResponse("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n{\"SECRE");
    test::LogCapture log;
    const auto error = test::failureOf([&] { fetch(client, server->baseURL()); });
    EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::networkConnectionLost));
    EXPECT_EQ(log.lineContaining("SECRE"), "");
    // Exactly one Content-Length repeated is not a conflict.
    server->setRawResponse(
        "HTTP/1.1 200 OK\r\nContent-Length: 16\r\nContent-Length: 16\r\n\r\n{\"statusCode\":0}");
    EXPECT_NO_THROW(fetch(client, server->baseURL()));
}

TEST_F(HostileService, MalformedLinesAndChunksAreRefused) {
    const EKYCHTTPClient client(impatient());
    const std::string ok = "{\"statusCode\":0}";
    const std::pair<std::string, URLErrorCode> answers[] = {
        {"HTTP/1.1 200 OK\r\nno colon here\r\nContent-Length: 16\r\n\r\n" + ok, URLErrorCode::badServerResponse},
        {"HTTP/1.1 200 OK\r\nBad Name: x\r\nContent-Length: 16\r\n\r\n" + ok, URLErrorCode::badServerResponse},
        {"HTTP/1.1 200 " + std::string(1 << 20, 'O') + "\r\nContent-Length: 16\r\n\r\n" + ok,
         URLErrorCode::badServerResponse},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n" + ok + "\r\n0\r\n\r\n",
         URLErrorCode::networkConnectionLost},
        {"HTTP/1.1 200 OK\r\nContent-Length: 16\r\nContent-Length: -1\r\n\r\n" + ok,
         URLErrorCode::badServerResponse},
    };
    for (const auto& [answer, expected] : answers) {
        SCOPED_TRACE(answer.substr(0, 60));
        server->setRawResponse(answer);
        EXPECT_EQ(test::failureOf([&] { fetch(client, server->baseURL()); }).code(), static_cast<int>(expected));
    }
}

TEST_F(HostileService, TheRepositoryPassesEveryAttackOnAndGivesUpOnATrickleAtTheDeadline) {
    // The host's service is the hostile server; the host installs a client
    // that trusts the test CA, with short time-outs.
    MainBundle::main().setInfoDictionary(nlohmann::json{
        {"EKYCServiceHost", "127.0.0.1:" + std::to_string(server->port())}, {"EKYCAppID", "bank-app"}});
    OVIRA::config();
    const auto previous = EKYCHTTPClient::shared();
    EKYCHTTPClient::setShared(std::make_shared<EKYCHTTPClient>(impatient()));
    test::TemporaryDirectory folder;
    const auto photo = folder / "face.jpg";
    std::ofstream(photo, std::ios::binary) << std::string(300000, 'j');
    EKYCRepoImpl repo;
    // Every attack reaches the repository's caller as the client's error.
    for (const Attack attack : {Attack::compressionBomb, Attack::conflictingLengths, Attack::hugeHeader,
                                Attack::manyHeaders, Attack::status600, Attack::truncatedWithoutNotify,
                                Attack::hugeCertificateChain}) {
        SCOPED_TRACE(hostile::nameOf(attack));
        server->play(attack);
        const auto viaClient = test::failureOf([&] { fetch(*EKYCHTTPClient::shared(), server->baseURL()); });
        const auto viaRepository = test::failureOf([&] { repo.getInfo(); });
        EXPECT_EQ(viaRepository.code(), viaClient.code());
        EXPECT_EQ(viaRepository.codeType(), viaClient.codeType());
    }
    server->play(Attack::trickle);
    for (const bool upload : {false, true}) {
        SCOPED_TRACE(upload ? "uploadFace" : "getInfo");
        const auto started = Clock::now();
        const auto error = test::failureOf([&] {
            if (upload)
                repo.uploadFace(photo);
            else
                repo.getInfo();
        });
        EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::timedOut));
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - started).count(), 20.0);
    }
    EKYCHTTPClient::setShared(previous);
}

}  // namespace
}  // namespace ovira
