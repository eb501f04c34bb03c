// The HTTP client against a real HTTPS server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <regex>
#include <thread>

#include "ovira/EKYCBaseApiResponse.h"
#include "ovira/EKYCHTTPClient.h"
#include "support/ExpectFailure.h"
#include "support/LogCapture.h"
#include "support/TemporaryDirectory.h"
#include "support/TlsTestServer.h"

namespace ovira {
namespace {

using test::failureOf;

using test::LogCapture;
using test::TestPKI;
using test::TlsTestServer;
using Void = EKYCBaseApiResponse<EKYCVoidResponse>;
constexpr const char* kOk = R"({"statusCode":0})";

struct Person {
    std::string fullName;
    int age = 0;
    static Person decode(const DecodingValue& v) {
        return {v.decode<std::string>("fullName"), v.decode<int>("age")};
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

// A route answering with a fixed status, body and type.
TlsTestServer::Setup answer(const std::string& path, int status, std::string body,
                            std::string type = "application/json") {
    return [=](httplib::Server& s) {
        s.Get(path, [=](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            if (!body.empty() || !type.empty()) res.set_content(body, type);
        });
    };
}

class HTTPClientTLS : public ::testing::Test {
protected:
    template <class T = Void>
    T get(const TlsTestServer& server, const std::string& path, const HTTPHeaders& headers = {},
          const HTTPParameters& params = {}) {
        return client.dataTask<T>(server.baseURL(), path, headers, params, EKYCHTTPMethod::get,
                                  *JSONDecoder::shared());
    }
    template <class T = Void>
    EKYCAPIError getFailure(const TlsTestServer& server, const std::string& path,
                            const HTTPHeaders& headers = {}) {
        return failureOf([&] { get<T>(server, path, headers); });
    }

    EKYCHTTPClient client{trustingTestCA()};
};

TEST_F(HTTPClientTLS, GetDecodesTheEnvelopeAndSendsHeadersPathAndQuery) {
    httplib::Request seen;
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/v1/ekyc/getInfo", [&](const httplib::Request& req, httplib::Response& res) {
            seen = req;
            res.set_content(R"({"statusCode":0,"data":{"full_name":"Nguyễn Văn A","age":30},"message":"ok"})",
                            "application/json");
        });
    });
    const auto envelope = get<EKYCBaseApiResponse<Person>>(
        server, "/v1/ekyc/getInfo", {{"language", "vi"}, {"transactionId", "abcekyciosapp"}});
    EXPECT_EQ(envelope.value().fullName, "Nguyễn Văn A");
    EXPECT_EQ(envelope.value().age, 30);
    EXPECT_EQ(seen.target, "/v1/ekyc/getInfo?");  // the empty query is still sent
    EXPECT_EQ(seen.get_header_value("language"), "vi");
    EXPECT_EQ(seen.get_header_value("transactionId"), "abcekyciosapp");

    get(server, "/v1/ekyc/getInfo", {}, {{"q", "a+b"}, {"name", "Lê Thị"}, {"n", 7}});
    EXPECT_NE(seen.target.find("q=a%2Bb"), std::string::npos) << seen.target;
    EXPECT_EQ(seen.get_param_value("q"), "a+b");
    EXPECT_EQ(seen.get_param_value("name"), "Lê Thị");
    EXPECT_EQ(seen.get_param_value("n"), "7");
}

TEST_F(HTTPClientTLS, JsonBodiesAreSnakeCasedAndTyped) {
    httplib::Request seen;
    TlsTestServer server([&](httplib::Server& s) {
        s.Put("/note", [&](const httplib::Request& req, httplib::Response& res) {
            seen = req;
            res.set_content(R"({"statusCode":0,"data":true})", "application/json");
        });
    });
    const auto send = [&](const HTTPHeaders& headers) {
        return client
            .dataTask<EKYCBaseApiResponse<bool>>(server.baseURL(), "/note", headers, {},
                                                 std::optional(Note{"xin chào"}), EKYCHTTPMethod::put,
                                                 *JSONEncoder::shared(), *JSONDecoder::shared())
            .value();
    };
    EXPECT_TRUE(send({}));
    EXPECT_EQ(seen.method, "PUT");
    EXPECT_EQ(seen.body, R"({"note_text":"xin chào"})");
    EXPECT_EQ(seen.get_header_value("Content-Type"), "application/json");
    send({{"Content-Type", "text/x"}});  // added to the caller's type, not replacing it
    EXPECT_EQ(seen.get_header_value("Content-Type"), "text/x,application/json");
}

TEST_F(HTTPClientTLS, MultipartUploadsArriveAsParts) {
    test::TemporaryDirectory folder;
    const auto photo = folder / "20240131235959.jpg";
    const std::string jpegBytes("\xFF\xD8\xFF\xE0 bytes \x00\x01\x02", 14);
    std::ofstream(photo, std::ios::binary) << jpegBytes;

    httplib::MultipartFormData file, type;
    std::string contentType;
    bool sawBody = true;
    TlsTestServer server([&](httplib::Server& s) {
        s.Post("/upload", [&](const httplib::Request& req, httplib::Response& res) {
            file = req.get_file_value("file");
            type = req.get_file_value("type");
            contentType = req.get_header_value("Content-Type");
            sawBody = req.has_header("Content-Type") || !req.body.empty();
            res.set_content(kOk, "application/json");
        });
    });
    const auto upload = [&](const std::optional<MultipartForms>& parts) {
        client.multipartDataTask<Void>(server.baseURL(), "/upload", {}, {}, parts, EKYCHTTPMethod::post,
                                       *JSONDecoder::shared());
    };
    upload(MultipartForms{std::make_shared<MultipartFormData>(MultipartFormData::File{photo}, "file",
                                                              "ignored.png", "image/png"),
                          std::make_shared<MultipartFormData>(MultipartFormData::String{"FRONT"}, "type")});
    EXPECT_EQ(file.filename, "20240131235959.jpg");
    EXPECT_EQ(file.content_type, "image/jpeg");
    EXPECT_EQ(file.content, jpegBytes);
    EXPECT_EQ(type.content, "FRONT");
    EXPECT_TRUE(std::regex_match(
        contentType, std::regex("multipart/form-data; boundary=networking\\.boundary\\.[0-9a-f]{16}")));

    for (const auto& none : {std::optional<MultipartForms>(), std::optional(MultipartForms{})}) {
        upload(none);
        EXPECT_FALSE(sawBody) << "a POST without parts has no body and no Content-Type";
    }
}

// Every way an answer can fail, and what the caller learns from it.
TEST_F(HTTPClientTLS, FailedAnswersBecomeTheirErrors) {
    std::atomic<int> redirectTargetHits{0};
    TlsTestServer server([&](httplib::Server& s) {
        answer("/401", 401, R"({"statusCode":401,"message":"Phiên đã hết hạn"})")(s);
        answer("/500", 500, "upstream exploded", "text/plain")(s);
        answer("/599", 599, kOk)(s);
        answer("/204", 204, "", "")(s);
        answer("/wrong-type", 200, R"({"statusCode":"0"})")(s);
        answer("/deep", 200, std::string(100, '[') + std::string(100, ']'))(s);
        answer("/envelope-misfit", 200, R"({"statusCode":0,"data":{"age":"x"},"message":"xong"})")(s);
        s.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new", 302); });
        s.Get("/new", [&](const httplib::Request&, httplib::Response& res) {
            ++redirectTargetHits;
            res.set_content(kOk, "application/json");
        });
    });
    struct Case {
        std::string path;
        EKYCAPIErrorCode code;
        std::optional<int> status;
        std::optional<std::string> message;
    };
    const std::vector<Case> cases{
        {"/401", EKYCAPIErrorCode::response, 401, "Phiên đã hết hạn"},
        {"/500", EKYCAPIErrorCode::response, 500, std::nullopt},
        {"/old", EKYCAPIErrorCode::response, 302, std::nullopt},  // redirects are not followed
        {"/599", EKYCAPIErrorCode::noStatusCode, std::nullopt, std::nullopt},
        {"/204", EKYCAPIErrorCode::decodeReceivedDataFail, 204, std::nullopt},
        {"/wrong-type", EKYCAPIErrorCode::decodeReceivedDataFail, 200, std::nullopt},
        {"/deep", EKYCAPIErrorCode::decodeReceivedDataFail, 200, std::nullopt},
        {"/envelope-misfit", EKYCAPIErrorCode::decodeReceivedDataFail, 200, "xong"},
    };
    for (const auto& c : cases) {
        const auto error = getFailure<EKYCBaseApiResponse<Person>>(server, c.path);
        EXPECT_EQ(error.codeType(), c.code) << c.path;
        EXPECT_EQ(error.domain(), "ai.qorix.sdk");
        EXPECT_EQ(error.status() ? std::optional(error.status()->rawValue()) : std::nullopt, c.status)
            << c.path;
        EXPECT_EQ(error.message(), c.message) << c.path;
    }
    EXPECT_EQ(redirectTargetHits, 0);
    const auto serverError = getFailure(server, "/500");
    const auto* payload = std::any_cast<Data>(&serverError.payload());
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(asStringView(*payload), "upstream exploded");
}

TEST_F(HTTPClientTLS, PlainTextStandsForTextResultsOnly) {
    TlsTestServer server([](httplib::Server& s) {
        answer("/text", 200, "Xin chào", "text/plain; charset=utf-8")(s);
        answer("/html", 200, "<p>hi</p>", "text/html")(s);
    });
    EXPECT_EQ(get<std::string>(server, "/text"), "Xin chào");
    EXPECT_EQ(getFailure<int>(server, "/text").codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
    EXPECT_EQ(getFailure<std::string>(server, "/html").codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
}

TEST_F(HTTPClientTLS, RequestsThatMustNotLeaveAreRefusedBeforeSending) {
    std::atomic<int> hits{0};
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/x", [&](const httplib::Request&, httplib::Response& res) {
            ++hits;
            res.set_content(kOk, "application/json");
        });
    });
    // A header value may not smuggle extra header lines.
    EXPECT_EQ(getFailure(server, "/x", {{"appID", "app\r\nX-Injected: yes"}}).codeType(),
              EKYCAPIErrorCode::unknow);
    // Plain HTTP is never spoken.
    const auto http = failureOf([&] {
        client.dataTask<Void>("http://127.0.0.1:" + std::to_string(server.port()), "/x", {}, {},
                              EKYCHTTPMethod::get, *JSONDecoder::shared());
    });
    EXPECT_EQ(http.code(), static_cast<int>(URLErrorCode::unsupportedURL));
    EXPECT_EQ(hits, 0);
}

// ---- slow, silent and broken servers ----

TEST_F(HTTPClientTLS, SlowResponsesCarryTheWarningMark) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1600));
            res.set_content(kOk, "application/json");
        });
        answer("/fast", 200, kOk)(s);
    });
    LogCapture log;
    get(server, "/slow");
    get(server, "/fast");
    const auto anyLine = [&](const std::regex& pattern) {
        for (const auto& line : log.lines()) {
            if (std::regex_search(line, pattern)) return true;
        }
        return false;
    };
    EXPECT_TRUE(
        anyLine(std::regex("Response time: \u26A0\uFE0F 1[6-9][0-9][0-9]\\.0 ms - https://.*/slow\\?$")))
        << log.text();
    EXPECT_TRUE(anyLine(std::regex("Response time:  [0-9]+\\.0 ms - https://.*/fast\\?$"))) << log.text();
}

TEST_F(HTTPClientTLS, SilentServerTimesOutAndReleasesTheCaller) {
    std::mutex mutex;
    std::condition_variable released;
    bool done = false;
    // Silent for three times the client's time-out, then an answer that must come too late.
    const auto silent = [&](const httplib::Request&, httplib::Response& res) {
        std::unique_lock lock(mutex);
        released.wait_for(lock, std::chrono::seconds(3), [&] { return done; });
        res.set_content(kOk, "application/json");
    };
    TlsTestServer server([&](httplib::Server& s) {
        s.Get("/silent", silent);
        s.Post("/silent", silent);
    });
    auto configuration = trustingTestCA();
    configuration.timeoutInterval = 1.0;
    EKYCHTTPClient impatient(configuration);
    // A body sent just before the silence counts as progress only while it moves.
    for (const bool withBody : {false, true}) {
        SCOPED_TRACE(withBody ? "POST" : "GET");
        const auto started = std::chrono::steady_clock::now();
        const auto error = failureOf([&] {
            if (withBody) {
                impatient.dataTask<Void>(
                    server.baseURL(), "/silent", {}, {}, std::optional<std::string>(std::string(200000, 'x')),
                    EKYCHTTPMethod::post, *JSONEncoder::shared(), *JSONDecoder::shared());
            } else {
                impatient.dataTask<Void>(server.baseURL(), "/silent", {}, {}, EKYCHTTPMethod::get,
                                         *JSONDecoder::shared());
            }
        });
        const auto waited = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::timedOut));
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
        EXPECT_LT(waited, std::chrono::seconds(8)) << "the caller must not wait for the server";
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    released.notify_all();
}

TEST_F(HTTPClientTLS, TruncatedAndOversizedBodiesEndTheExchange) {
    constexpr std::size_t twoMiB = 2u << 20;
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "application/json", [](size_t, size_t, httplib::DataSink& sink) {
                sink.write(R"({"statusCode":0,"da)", 19);
                return false;  // the connection drops before the promised 1000 bytes
            });
        });
        answer("/declared", 200, std::string(twoMiB, 'x'))(s);
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
    EXPECT_EQ(getFailure(server, "/cut").code(), static_cast<int>(URLErrorCode::networkConnectionLost));
    auto configuration = trustingTestCA();
    configuration.maxResponseBytes = 1u << 20;
    EKYCHTTPClient capped(configuration);
    for (const char* path : {"/declared", "/streamed"}) {
        const auto error = failureOf([&] {
            capped.dataTask<Void>(server.baseURL(), path, {}, {}, EKYCHTTPMethod::get,
                                  *JSONDecoder::shared());
        });
        EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::dataLengthExceedsMaximum)) << path;
    }
}

// ---- trust ----

TEST_F(HTTPClientTLS, UntrustedServersNeverSeeARequest) {
    pki::CertificateOptions expired, elsewhere;
    expired.notBefore = -std::chrono::hours(48);
    expired.notAfter = -std::chrono::hours(24);
    elsewhere.dnsNames = {"other.invalid"};
    elsewhere.ipAddresses = {};
    auto wrongPin = trustingTestCA();
    wrongPin.pinnedPublicKeys = {pki::makeSelfSigned({}).publicKeyPin};
    struct Case {
        const char* name;
        pki::IssuedCertificate certificate;
        EKYCHTTPClient::Configuration configuration;
        URLErrorCode expected;
    };
    const std::vector<Case> cases{
        {"unknown authority", TestPKI::localhost(), {}, URLErrorCode::serverCertificateUntrusted},
        {"self-signed", pki::makeSelfSigned({}), trustingTestCA(), URLErrorCode::serverCertificateUntrusted},
        {"expired", TestPKI::authority().issue(expired), trustingTestCA(),
         URLErrorCode::serverCertificateHasBadDate},
        {"other host", TestPKI::authority().issue(elsewhere), trustingTestCA(),
         URLErrorCode::serverCertificateUntrusted},
        {"pin mismatch", TestPKI::localhost(), wrongPin, URLErrorCode::serverCertificateUntrusted},
    };
    for (const auto& c : cases) {
        std::atomic<int> hits{0};
        TlsTestServer server(
            [&](httplib::Server& s) {
                s.Get("/x", [&](const httplib::Request&, httplib::Response& res) {
                    ++hits;
                    res.set_content(kOk, "application/json");
                });
            },
            c.certificate);
        EKYCHTTPClient verifying(c.configuration);
        const auto error = failureOf([&] {
            verifying.dataTask<Void>(server.baseURL(), "/x", {}, {}, EKYCHTTPMethod::get,
                                     *JSONDecoder::shared());
        });
        EXPECT_EQ(error.code(), static_cast<int>(c.expected)) << c.name;
        EXPECT_EQ(hits, 0) << c.name;
    }
}

TEST_F(HTTPClientTLS, AMatchingPinIsAccepted) {
    auto pinned = trustingTestCA();
    pinned.pinnedPublicKeys = {pki::makeSelfSigned({}).publicKeyPin, TestPKI::localhost().publicKeyPin};
    EKYCHTTPClient pinning(pinned);
    TlsTestServer server(answer("/x", 200, kOk));
    EXPECT_NO_THROW(
        pinning.dataTask<Void>(server.baseURL(), "/x", {}, {}, EKYCHTTPMethod::get, *JSONDecoder::shared()));
}

// ---- connections, threads and the log ----

TEST_F(HTTPClientTLS, ConnectionsAreReusedAndThreadsShareOneClient) {
    TlsTestServer server([](httplib::Server& s) {
        s.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(R"({"statusCode":0,"data":")" + req.get_param_value("i") + R"("})",
                            "application/json");
        });
    });
    for (int i = 0; i < 5; ++i) get(server, "/echo");
    EXPECT_EQ(client.connectionsOpened(), 1);

    std::atomic<int> correct{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const std::string expected = std::to_string(t * 100 + i);
                if (get<EKYCBaseApiResponse<std::string>>(server, "/echo", {}, {{"i", expected}}).value() ==
                    expected)
                    ++correct;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(correct, 40);
    EXPECT_LE(client.connectionsOpened(), 5);
}

TEST_F(HTTPClientTLS, TheLogShowsSizesAndMasksHeadersUnlessAskedForBodies) {
    TlsTestServer server([](httplib::Server& s) {
        s.Post("/submitInfo", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"statusCode":0,"data":"SECRET-ANSWER"})", "application/json");
        });
        answer("/refused", 422, R"({"statusCode":422,"message":"SECRET-REASON"})")(s);
    });
    const HTTPHeaders headers{{"transactionId", "SECRET-SESSION"},
                              {"appID", "SECRET-APP"},
                              {"X-Extra", "SECRET-EXTRA"},
                              {"language", "en"}};
    const auto submit = [&](const EKYCHTTPClient& with) {
        with.dataTask<EKYCBaseApiResponse<std::string>>(
            server.baseURL(), "/submitInfo", headers, {}, std::optional(Note{"SECRET-NAME"}),
            EKYCHTTPMethod::post, *JSONEncoder::shared(), *JSONDecoder::shared());
    };
    {
        LogCapture log;
        submit(client);
        EXPECT_EQ(getFailure(server, "/refused").message(), "SECRET-REASON");
        const std::string text = log.text();
        EXPECT_EQ(text.find("SECRET"), std::string::npos) << text;
        EXPECT_NE(log.lineContaining("Method: POST - " + server.baseURL() + "/submitInfo?"), "") << text;
        EXPECT_NE(log.lineContaining("Body: <27 bytes>"), "") << text;
        EXPECT_NE(
            log.lineContaining(R"(Headers: ["Content-Type": "application/json", "X-Extra": "<masked>", )"
                               R"("appID": "<masked>", "language": "en", "transactionId": "<masked>"])"),
            "")
            << text;
        EXPECT_NE(log.lineContaining("OVIRA.EKYCHTTPStatusCode error 422"), "") << text;
        for (const auto& entry : log.entries()) {
            EXPECT_EQ(entry.line.rfind("[Networking]: ", 0), 0u) << entry.line;
            EXPECT_EQ(entry.subsystem, "ai.qorix.OVIRA.networking");
        }
    }
    auto verbose = trustingTestCA();
    verbose.logsFullBodies = true;
    LogCapture log;
    submit(EKYCHTTPClient(verbose));
    EXPECT_NE(log.lineContaining(R"(Body: {"note_text":"SECRET-NAME"})"), "") << log.text();
    EXPECT_NE(log.lineContaining(R"("appID": "SECRET-APP")"), "") << log.text();
    EXPECT_NE(log.lineContaining("SECRET-SESSION"), "") << log.text();
    EXPECT_NE(log.lineContaining(R"(Response body: {"statusCode":0,"data":"SECRET-ANSWER"})"), "")
        << log.text();
}

}  // namespace
}  // namespace ovira
