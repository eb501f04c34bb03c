// The HTTP client against a real HTTPS server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <regex>
#include <thread>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"
#include "support/TlsTestServer.h"

namespace ovira {
namespace {

using test::LogCapture;
using test::TestPKI;
using test::TlsTestServer;
using Clock = std::chrono::steady_clock;

struct Person {
    std::string fullName;
    int age = 0;
    static Person decode(const DecodingValue& v) {
        return Person{v.decode<std::string>("fullName"), v.decode<int>("age")};
    }
};

struct Note {
    std::string noteText;
    void encode(EncodingValue& target) const { target.encode("noteText", noteText); }
};

EKYCHTTPClient::Configuration trustingTestCA() {
    EKYCHTTPClient::Configuration configuration;
    configuration.additionalCACertificateFile = TestPKI::caFile();
    configuration.timeoutInterval = 5.0;
    return configuration;
}

const JSONDecoder& decoder() { return *JSONDecoder::shared(); }

template <class Body>
EKYCAPIError expectFailure(Body&& body) {
    try {
        body();
    } catch (const EKYCAPIError& error) {
        return error;
    }
    ADD_FAILURE() << "expected an EKYCAPIError";
    return EKYCAPIError(0);
}

// Lets a handler block until the test is over (a server that never answers).
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    void wait(std::chrono::seconds limit) {
        std::unique_lock lock(mutex);
        opened.wait_for(lock, limit, [this] { return open; });
    }
    void release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

class HTTPClientTLS : public ::testing::Test {
protected:
    EKYCHTTPClient client{trustingTestCA()};
};

TEST_F(HTTPClientTLS, GetDecodesTheEnvelopeAndSendsHeadersPathAndBareQuery) {
    std::string target, language, transaction;
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/v1/ekyc/getInfo", [&](const httplib::Request& req, httplib::Response& res) {
            target = req.target;
            language = req.get_header_value("language");
            transaction = req.get_header_value("transactionId");
            res.set_content(R"({"statusCode":0,"data":{"full_name":"Nguyễn Văn A","age":30},"message":"ok"})",
                            "application/json");
        });
    });
    const auto envelope = client.dataTask<EKYCBaseApiResponse<Person>>(
        server.baseURL() + "/v1/ekyc", "/getInfo", {{"language", "vi"}, {"transactionId", "abc123ekyciosapp"}}, {},
        EKYCHTTPMethod::get, decoder());
    const Person person = envelope.value();
    EXPECT_EQ(person.fullName, "Nguyễn Văn A");
    EXPECT_EQ(person.age, 30);
    EXPECT_EQ(envelope.message, "ok");
    EXPECT_EQ(target, "/v1/ekyc/getInfo?");
    EXPECT_EQ(language, "vi");
    EXPECT_EQ(transaction, "abc123ekyciosapp");
}

TEST_F(HTTPClientTLS, QueryParametersArriveIntactIncludingPlusSigns) {
    std::string target, plus, space;
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/search", [&](const httplib::Request& req, httplib::Response& res) {
            target = req.target;
            plus = req.get_param_value("q");
            space = req.get_param_value("name");
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/search",
                                                            {}, {{"q", "a+b"}, {"name", "Lê Thị"}, {"n", 7}},
                                                            EKYCHTTPMethod::get, decoder())
        .value();
    EXPECT_NE(target.find("q=a%2Bb"), std::string::npos) << target;
    EXPECT_NE(target.find("n=7"), std::string::npos) << target;
    EXPECT_EQ(plus, "a+b");
    EXPECT_EQ(space, "Lê Thị");
}

TEST_F(HTTPClientTLS, JsonBodyIsEncodedWithSnakeCaseAndTyped) {
    std::string body, contentType, method;
    TlsTestServer server([&](httplib::Server& s) {
        s.Put("/note", [&](const httplib::Request& req, httplib::Response& res) {
            body = req.body;
            contentType = req.get_header_value("Content-Type");
            method = req.method;
            res.set_content(R"({"statusCode":0,"data":true})", "application/json");
        });
    });
    const std::optional<Note> note = Note{"xin chào"};
    const bool accepted = client.dataTask<EKYCBaseApiResponse<bool>>(server.baseURL(), "/note", {}, {}, note,
                                                                     EKYCHTTPMethod::put, *JSONEncoder::shared(),
                                                                     decoder())
                              .value();
    EXPECT_TRUE(accepted);
    EXPECT_EQ(method, "PUT");
    EXPECT_EQ(body, R"({"note_text":"xin chào"})");
    EXPECT_EQ(contentType, "application/json");
}

TEST_F(HTTPClientTLS, JsonContentTypeIsAddedToOneTheCallerGave) {
    std::string contentType;
    TlsTestServer server([&](httplib::Server& s) {
        s.Post("/note", [&](const httplib::Request& req, httplib::Response& res) {
            contentType = req.get_header_value("Content-Type");
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/note", {{"Content-Type", "text/x"}},
                                                            {}, std::optional<Note>(Note{"x"}), EKYCHTTPMethod::post,
                                                            *JSONEncoder::shared(), decoder());
    EXPECT_EQ(contentType, "text/x,application/json");
}

TEST_F(HTTPClientTLS, MultipartUploadReachesTheServerAsParts) {
    test::TemporaryDirectory folder;
    const auto photo = folder / "20240131235959.jpg";
    const std::string jpegBytes("\xFF\xD8\xFF\xE0 not really a jpeg \x00\x01\x02", 26);
    std::ofstream(photo, std::ios::binary) << jpegBytes;

    httplib::MultipartFormData file, type;
    std::string contentLength, contentType;
    TlsTestServer server([&](httplib::Server& s) {
        s.Post("/nationId", [&](const httplib::Request& req, httplib::Response& res) {
            file = req.get_file_value("file");
            type = req.get_file_value("type");
            contentLength = req.get_header_value("Content-Length");
            contentType = req.get_header_value("Content-Type");
            res.set_content(R"({"statusCode":0,"data":{"full_name":"x","age":1}})", "application/json");
        });
    });
    const MultipartForms parts{
        std::make_shared<MultipartFormData>(MultipartFormData::File{photo}, "file", "ignored.png", "image/png"),
        std::make_shared<MultipartFormData>(MultipartFormData::String{"FRONT"}, "type"),
    };
    client.multipartDataTask<EKYCBaseApiResponse<Person>>(server.baseURL(), "/nationId", {}, {}, parts,
                                                          EKYCHTTPMethod::post, decoder())
        .value();
    EXPECT_EQ(file.filename, "20240131235959.jpg");
    EXPECT_EQ(file.content_type, "image/jpeg");
    EXPECT_EQ(file.content, jpegBytes);
    EXPECT_EQ(type.content, "FRONT");
    EXPECT_TRUE(std::regex_match(contentType,
                                 std::regex("multipart/form-data; boundary=networking\\.boundary\\.[0-9a-f]{16}")))
        << contentType;
    // Two part headers, two closing lines and the content: the server parsed
    // exactly this many bytes.
    EXPECT_GT(std::stoul(contentLength), jpegBytes.size() + 5);
}

TEST_F(HTTPClientTLS, PostWithoutPartsSendsNoBodyAndNoContentType) {
    bool hasContentType = true;
    std::size_t bodySize = 1;
    TlsTestServer server([&](httplib::Server& s) {
        s.Post("/captureFace", [&](const httplib::Request& req, httplib::Response& res) {
            hasContentType = req.has_header("Content-Type");
            bodySize = req.body.size();
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    for (const auto& parts : {std::optional<MultipartForms>(), std::optional<MultipartForms>(MultipartForms{})}) {
        hasContentType = true;
        client.multipartDataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/captureFace", {}, {},
                                                                         parts, EKYCHTTPMethod::post, decoder());
        EXPECT_FALSE(hasContentType);
        EXPECT_EQ(bodySize, 0u);
    }
}

// ---- the failure table ----

TEST_F(HTTPClientTLS, UnauthorisedAnswerCarriesStatusAndTheServiceMessage) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/getInfo", [](const httplib::Request&, httplib::Response& res) {
            res.status = 401;
            res.set_content(R"({"statusCode":401,"message":"Phiên làm việc đã hết hạn"})", "application/json");
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<Person>>(server.baseURL(), "/getInfo", {}, {}, EKYCHTTPMethod::get,
                                                     decoder());
    });
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::response);
    ASSERT_TRUE(error.status());
    EXPECT_EQ(*error.status(), EKYCHTTPStatusCode::unauthorized);
    EXPECT_EQ(error.message(), "Phiên làm việc đã hết hạn");
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
}

TEST_F(HTTPClientTLS, ServerErrorWithPlainBodyKeepsTheBytesAndNoMessage) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/boom", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("upstream exploded", "text/plain");
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<Person>>(server.baseURL(), "/boom", {}, {}, EKYCHTTPMethod::get,
                                                     decoder());
    });
    EXPECT_EQ(error.code(), -906);
    EXPECT_EQ(*error.status(), EKYCHTTPStatusCode::internalServerError);
    EXPECT_FALSE(error.message());
    const auto* payload = std::any_cast<Data>(&error.payload());
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(asStringView(*payload), "upstream exploded");
}

TEST_F(HTTPClientTLS, RedirectsAreNotFollowed) {
    std::atomic<int> targetHits{0};
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new", 302); });
        s.Get("/new", [&](const httplib::Request&, httplib::Response& res) {
            ++targetHits;
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/old", {}, {},
                                                                EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::response);
    EXPECT_EQ(*error.status(), EKYCHTTPStatusCode::found);
    EXPECT_EQ(targetHits, 0);
}

TEST_F(HTTPClientTLS, UnknownStatusNumberIsNoStatusCode) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/odd", [](const httplib::Request&, httplib::Response& res) {
            res.status = 599;
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/odd", {}, {},
                                                                EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::noStatusCode);
    EXPECT_FALSE(error.status());
}

TEST_F(HTTPClientTLS, UndecodableSuccessBodiesFailWithDecodeReceivedDataFail) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
        s.Get("/wrong", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":"0"})", "application/json");
        });
        s.Get("/deep", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(100, '[') + std::string(100, ']'), "application/json");
        });
    });
    for (const char* path : {"/empty", "/wrong", "/deep"}) {
        const auto error = expectFailure([&] {
            client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), path, {}, {},
                                                                    EKYCHTTPMethod::get, decoder());
        });
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail) << path;
        ASSERT_TRUE(error.status()) << path;
        EXPECT_EQ(error.status()->responseType(), EKYCHTTPStatusCode::ResponseType::success) << path;
    }
}

TEST_F(HTTPClientTLS, PlainTextSuccessStandsForTextResultsOnly) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/text", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("Xin chào", "text/plain; charset=utf-8");
        });
        s.Get("/html", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<p>hi</p>", "text/html");
        });
    });
    EXPECT_EQ(client.dataTask<std::string>(server.baseURL(), "/text", {}, {}, EKYCHTTPMethod::get, decoder()),
              "Xin chào");
    const auto notANumber = expectFailure(
        [&] { client.dataTask<int>(server.baseURL(), "/text", {}, {}, EKYCHTTPMethod::get, decoder()); });
    EXPECT_EQ(notANumber.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
    const auto notPlain = expectFailure(
        [&] { client.dataTask<std::string>(server.baseURL(), "/html", {}, {}, EKYCHTTPMethod::get, decoder()); });
    EXPECT_EQ(notPlain.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
}

TEST_F(HTTPClientTLS, UnparsableUrlIsUrlNilAndNothingIsSent) {
    const auto error = expectFailure([&] {
        client.dataTask<std::string>("https://exa mple.com", "/x", {}, {}, EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::urlNil);
    EXPECT_FALSE(error.status());
    EXPECT_FALSE(error.message());
}

TEST_F(HTTPClientTLS, PlainHttpIsNeverSpoken) {
    LogCapture log;
    const auto error = expectFailure([&] {
        client.dataTask<std::string>("http://127.0.0.1:9", "/x", {}, {}, EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::unsupportedURL));
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
}

TEST_F(HTTPClientTLS, HeaderValuesCannotSmuggleExtraLines) {
    std::atomic<int> hits{0};
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/x", [&](const httplib::Request&, httplib::Response& res) {
            ++hits;
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(
            server.baseURL(), "/x", {{"appID", "app\r\nX-Injected: yes"}}, {}, EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_EQ(hits, 0);
}

// ---- slow, silent and broken servers ----

TEST_F(HTTPClientTLS, SlowResponsesCarryTheWarningMark) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1600));
            res.set_content(R"({"statusCode":0})", "application/json");
        });
        s.Get("/fast", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    LogCapture log;
    client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/slow", {}, {}, EKYCHTTPMethod::get,
                                                            decoder());
    client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/fast", {}, {}, EKYCHTTPMethod::get,
                                                            decoder());
    const std::string slow = log.lineContaining("/slow?");
    const std::string fast = log.lineContaining("Response time:  ");
    const std::string slowTime = log.lineContaining("Response time: \u26A0\uFE0F ");
    EXPECT_NE(slowTime.find("/slow?"), std::string::npos) << log.text();
    EXPECT_NE(fast.find("/fast?"), std::string::npos) << log.text();
    EXPECT_NE(fast.find(".0 ms - "), std::string::npos) << fast;
}

TEST_F(HTTPClientTLS, SilentServerTimesOutAndReleasesTheCaller) {
    Gate gate;
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/silent", [&](const httplib::Request&, httplib::Response& res) {
            gate.wait(std::chrono::seconds(20));
            res.set_content("{}", "application/json");
        });
    });
    auto configuration = trustingTestCA();
    configuration.timeoutInterval = 1.0;
    EKYCHTTPClient impatient(configuration);
    const auto started = Clock::now();
    const auto error = expectFailure([&] {
        impatient.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/silent", {}, {},
                                                                   EKYCHTTPMethod::get, decoder());
    });
    const auto waited = Clock::now() - started;
    gate.release();
    EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::timedOut));
    EXPECT_EQ(error.domain(), "ai.qorix.sdk");
    EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
    EXPECT_LT(waited, std::chrono::seconds(8));
}

TEST_F(HTTPClientTLS, TruncatedBodyIsAConnectionLoss) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "application/json", [](size_t, size_t, httplib::DataSink& sink) {
                sink.write(R"({"statusCode":0,"da)", 19);
                return false;  // the connection drops before the promised 1000 bytes
            });
        });
    });
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/cut", {}, {},
                                                                EKYCHTTPMethod::get, decoder());
    });
    EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::networkConnectionLost));
}

TEST_F(HTTPClientTLS, OversizedBodiesEndTheExchange) {
    constexpr std::size_t twoMiB = 2u << 20;
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/declared", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(twoMiB, 'x'), "application/json");
        });
        s.Get("/streamed", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/json", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= twoMiB) {
                    sink.done();
                    return true;
                }
                const std::string chunk(64 * 1024, 'x');
                return sink.write(chunk.data(), chunk.size());
            });
        });
    });
    auto configuration = trustingTestCA();
    configuration.maxResponseBytes = 1u << 20;
    EKYCHTTPClient capped(configuration);
    for (const char* path : {"/declared", "/streamed"}) {
        const auto error = expectFailure([&] {
            capped.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), path, {}, {},
                                                                    EKYCHTTPMethod::get, decoder());
        });
        EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::dataLengthExceedsMaximum)) << path;
    }
}

// ---- trust ----

class UntrustedServers : public HTTPClientTLS {
protected:
    EKYCAPIError fetchFrom(const pki::IssuedCertificate& certificate, EKYCHTTPClient& with) {
        std::atomic<int> hits{0};
        TlsTestServer server(
            [&](httplib::Server& s) {
                s.Get("/x", [&](const httplib::Request&, httplib::Response& res) {
                    ++hits;
                    res.set_content(R"({"statusCode":0})", "application/json");
                });
            },
            certificate);
        auto error = expectFailure([&] {
            with.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/x", {}, {},
                                                                  EKYCHTTPMethod::get, decoder());
        });
        EXPECT_EQ(hits, 0) << "no request may reach a server that failed verification";
        return error;
    }
};

TEST_F(UntrustedServers, UnknownAuthorityIsRefused) {
    EKYCHTTPClient systemTrustOnly(EKYCHTTPClient::Configuration{});
    EXPECT_EQ(fetchFrom(TestPKI::localhost(), systemTrustOnly).code(),
              static_cast<int>(URLErrorCode::serverCertificateUntrusted));
}

TEST_F(UntrustedServers, SelfSignedCertificateIsRefused) {
    EXPECT_EQ(fetchFrom(pki::makeSelfSigned({}), client).code(),
              static_cast<int>(URLErrorCode::serverCertificateUntrusted));
}

TEST_F(UntrustedServers, ExpiredCertificateIsRefused) {
    pki::CertificateOptions expired;
    expired.notBefore = -std::chrono::hours(48);
    expired.notAfter = -std::chrono::hours(24);
    EXPECT_EQ(fetchFrom(TestPKI::authority().issue(expired), client).code(),
              static_cast<int>(URLErrorCode::serverCertificateHasBadDate));
}

TEST_F(UntrustedServers, CertificateForAnotherHostIsRefused) {
    pki::CertificateOptions elsewhere;
    elsewhere.commonName = "other.invalid";
    elsewhere.dnsNames = {"other.invalid"};
    elsewhere.ipAddresses = {};
    EXPECT_EQ(fetchFrom(TestPKI::authority().issue(elsewhere), client).code(),
              static_cast<int>(URLErrorCode::serverCertificateUntrusted));
}

TEST_F(UntrustedServers, PinnedKeyMustMatch) {
    auto pinned = trustingTestCA();
    pinned.pinnedPublicKeys = {pki::makeSelfSigned({}).publicKeyPin};
    EKYCHTTPClient wrongPin(pinned);
    EXPECT_EQ(fetchFrom(TestPKI::localhost(), wrongPin).code(),
              static_cast<int>(URLErrorCode::serverCertificateUntrusted));

    pinned.pinnedPublicKeys.push_back(TestPKI::localhost().publicKeyPin);
    EKYCHTTPClient rightPin(pinned);
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/x", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    EXPECT_NO_THROW(rightPin.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/x", {}, {},
                                                                             EKYCHTTPMethod::get, decoder()));
}

// ---- connections, threads and the log ----

TEST_F(HTTPClientTLS, ConnectionsAreReusedAcrossCalls) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/x", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":0})", "application/json");
        });
    });
    for (int i = 0; i < 5; ++i) {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/x", {}, {}, EKYCHTTPMethod::get,
                                                                decoder());
    }
    EXPECT_EQ(client.connectionsOpened(), 1);
}

TEST_F(HTTPClientTLS, ManyThreadsShareOneClient) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(R"({"statusCode":0,"data":")" + req.get_param_value("i") + R"("})", "application/json");
        });
    });
    std::atomic<int> correct{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const std::string expected = std::to_string(t * 100 + i);
                const auto answer = client.dataTask<EKYCBaseApiResponse<std::string>>(
                    server.baseURL(), "/echo", {}, {{"i", expected}}, EKYCHTTPMethod::get, decoder());
                if (answer.value() == expected) ++correct;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(correct, 40);
}

TEST_F(HTTPClientTLS, LogShowsSizesNotBodiesAndMasksTheTransactionId) {
    TlsTestServer server([](httplib::Server& s) {
        s.Post("/submitInfo", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":0,"data":"SECRET-ANSWER"})", "application/json");
        });
    });
    const HTTPHeaders headers{{"transactionId", "SECRET-SESSION"}, {"appID", "demo"}};
    const std::optional<Note> body = Note{"SECRET-NAME"};
    {
        LogCapture log;
        client.dataTask<EKYCBaseApiResponse<std::string>>(server.baseURL(), "/submitInfo", headers, {}, body,
                                                          EKYCHTTPMethod::post, *JSONEncoder::shared(), decoder());
        const std::string text = log.text();
        EXPECT_EQ(text.find("SECRET"), std::string::npos) << text;
        EXPECT_NE(log.lineContaining("Method: POST - " + server.baseURL() + "/submitInfo?"), "") << text;
        EXPECT_NE(log.lineContaining("Body: <27 bytes>"), "") << text;
        EXPECT_NE(log.lineContaining(R"("appID": "demo")"), "") << text;
        for (const auto& entry : log.entries()) {
            EXPECT_EQ(entry.line.rfind("[Networking]: ", 0), 0u) << entry.line;
            EXPECT_EQ(entry.subsystem, "ai.qorix.OVIRA.networking");
        }
    }
    auto verbose = trustingTestCA();
    verbose.logsFullBodies = true;
    EKYCHTTPClient developer(verbose);
    LogCapture log;
    developer.dataTask<EKYCBaseApiResponse<std::string>>(server.baseURL(), "/submitInfo", headers, {}, body,
                                                         EKYCHTTPMethod::post, *JSONEncoder::shared(), decoder());
    EXPECT_NE(log.lineContaining(R"(Body: {"note_text":"SECRET-NAME"})"), "") << log.text();
    EXPECT_NE(log.lineContaining("SECRET-SESSION"), "") << log.text();
    EXPECT_NE(log.lineContaining("Response body: " R"({"statusCode":0,"data":"SECRET-ANSWER"})"), "")
        << log.text();
}

TEST_F(HTTPClientTLS, ErrorBodiesStayOutOfTheLog) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/x", [](const httplib::Request&, httplib::Response& res) {
            res.status = 422;
            res.set_content(R"({"statusCode":422,"message":"SECRET-REASON"})", "application/json");
        });
    });
    LogCapture log;
    const auto error = expectFailure([&] {
        client.dataTask<EKYCBaseApiResponse<EKYCVoidResponse>>(server.baseURL(), "/x", {}, {}, EKYCHTTPMethod::get,
                                                                decoder());
    });
    EXPECT_EQ(error.message(), "SECRET-REASON");
    EXPECT_EQ(log.text().find("SECRET"), std::string::npos) << log.text();
    EXPECT_NE(log.lineContaining("OVIRA.EKYCHTTPStatusCode error 422"), "") << log.text();
}

}  // namespace
}  // namespace ovira
