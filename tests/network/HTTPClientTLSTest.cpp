// The HTTP client against a real HTTPS server on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <regex>
#include <thread>
#include <tuple>

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
constexpr std::size_t kTwoMiB = 2u << 20;

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

template <class T = Void>
T fetch(const EKYCHTTPClient& client, const std::string& url, const std::string& path,
        const HTTPHeaders& headers = {}, const HTTPParameters& params = {}) {
    return client.dataTask<T>(url, path, headers, params, EKYCHTTPMethod::get, *JSONDecoder::shared());
}

// A route answering with a fixed status, body and type.
void answer(httplib::Server& s, const std::string& path, int status, std::string body,
            std::string type = "application/json") {
    s.Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        if (!body.empty() || !type.empty()) res.set_content(body, type);
    });
}

// One server for the suite with the routes its tests need. The routes that
// record their request keep it in `seen`; "/x" counts its hits.
class HTTPClientTLS : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new TlsTestServer(routes); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { hits = 0; }

    static void countHit(const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content(kOk, "application/json");
    }
    static void routes(httplib::Server& s) {
        const auto record = [](const char* body) {
            return [body](const httplib::Request& req, httplib::Response& res) {
                seen = req;
                res.set_content(body, "application/json");
            };
        };
        s.Get("/v1/ekyc/getInfo", record(R"({"statusCode":0,"data":{"full_name":"Nguyễn Văn A","age":30}})"));
        s.Put("/note", record(R"({"statusCode":0,"data":true})"));
        s.Post("/upload", record(kOk));
        s.Post("/submitInfo", record(R"({"statusCode":0,"data":"SECRET-ANSWER"})"));
        s.Get("/x", countHit);
        s.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/x", 302); });
        answer(s, "/refused", 422, R"({"statusCode":422,"message":"SECRET-REASON"})");
        answer(s, "/401", 401, R"({"statusCode":401,"message":"Phiên đã hết hạn"})");
        answer(s, "/500", 500, "upstream exploded", "text/plain");
        answer(s, "/599", 599, kOk);
        answer(s, "/204", 204, "", "");
        answer(s, "/wrong-type", 200, R"({"statusCode":"0"})");
        answer(s, "/deep", 200, std::string(100, '[') + std::string(100, ']'));
        answer(s, "/envelope-misfit", 200, R"({"statusCode":0,"data":{"age":"x"},"message":"xong"})");
        answer(s, "/text", 200, "Xin chào", "text/plain; charset=utf-8");
        answer(s, "/not-utf8", 200, "\xC3\x28", "text/plain; charset=utf-8");
        answer(s, "/html", 200, "<p>hi</p>", "text/html");
        answer(s, "/fast", 200, kOk);
        answer(s, "/declared", 200, std::string(kTwoMiB, 'x'));
        s.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1600));
            res.set_content(kOk, "application/json");
        });
        s.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "application/json", [](size_t, size_t, httplib::DataSink& sink) {
                sink.write(R"({"statusCode":0,"da)", 19);
                return false;  // the connection drops before the promised 1000 bytes
            });
        });
        s.Get("/streamed", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/json", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= kTwoMiB) {
                    sink.done();
                    return true;
                }
                const std::string chunk(64 * 1024, 'x');
                return sink.write(chunk.data(), chunk.size());
            });
        });
        s.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(R"({"statusCode":0,"data":")" + req.get_param_value("i") + R"("})",
                            "application/json");
        });
    }

    template <class T = Void>
    T get(const std::string& path, const HTTPHeaders& headers = {}, const HTTPParameters& params = {}) {
        return fetch<T>(client, server->baseURL(), path, headers, params);
    }
    template <class T = Void>
    EKYCAPIError getFailure(const std::string& path, const HTTPHeaders& headers = {},
                            const EKYCHTTPClient* with = nullptr) {
        SCOPED_TRACE(path);
        return failureOf([&] { fetch<T>(with ? *with : client, server->baseURL(), path, headers); });
    }

    static inline TlsTestServer* server = nullptr;
    static inline httplib::Request seen;
    static inline std::atomic<int> hits{0};
    EKYCHTTPClient client{trustingTestCA()};
};

TEST_F(HTTPClientTLS, GetDecodesTheEnvelopeAndSendsHeadersPathAndQuery) {
    const auto envelope = get<EKYCBaseApiResponse<Person>>(
        "/v1/ekyc/getInfo", {{"language", "vi"}, {"transactionId", "abcekyciosapp"}});
    EXPECT_EQ(envelope.value().fullName, "Nguyễn Văn A");
    EXPECT_EQ(envelope.value().age, 30);
    EXPECT_EQ(seen.target, "/v1/ekyc/getInfo?");  // the empty query is still sent
    EXPECT_EQ(seen.get_header_value("language"), "vi");
    EXPECT_EQ(seen.get_header_value("transactionId"), "abcekyciosapp");

    get("/v1/ekyc/getInfo", {}, {{"q", "a+b"}, {"name", "Lê Thị"}, {"n", 7}});
    EXPECT_NE(seen.target.find("q=a%2Bb"), std::string::npos) << seen.target;
    EXPECT_EQ(seen.get_param_value("q"), "a+b");
    EXPECT_EQ(seen.get_param_value("name"), "Lê Thị");
    EXPECT_EQ(seen.get_param_value("n"), "7");
}

TEST_F(HTTPClientTLS, JsonBodiesAreSnakeCasedAndTyped) {
    const auto send = [&](const HTTPHeaders& headers) {
        return client
            .dataTask<EKYCBaseApiResponse<bool>>(server->baseURL(), "/note", headers, {},
                                                 std::optional(Note{"xin chào"}), EKYCHTTPMethod::put,
                                                 *JSONEncoder::shared(), *JSONDecoder::shared())
            .value();
    };
    EXPECT_TRUE(send({}));
    EXPECT_EQ(seen.method, "PUT");
    EXPECT_EQ(seen.body, R"({"note_text":"xin chào"})");
    EXPECT_EQ(seen.get_header_value("Content-Type"), "application/json");
    // The caller's type, whatever the spelling of its name, is added to, not replaced or repeated.
    for (const char* name : {"Content-Type", "content-type"}) {
        send({{name, "text/x"}});
        EXPECT_EQ(seen.get_header_value("Content-Type"), "text/x,application/json") << name;
        EXPECT_EQ(seen.get_header_value_count("Content-Type"), 1u) << name;
    }
}

TEST_F(HTTPClientTLS, MultipartUploadsArriveAsParts) {
    test::TemporaryDirectory folder;
    const auto photo = folder / "20240131235959.jpg";
    const std::string jpegBytes("\xFF\xD8\xFF\xE0 bytes \x00\x01\x02", 14);
    std::ofstream(photo, std::ios::binary) << jpegBytes;
    const auto upload = [&](const std::optional<MultipartForms>& parts) {
        client.multipartDataTask<Void>(server->baseURL(), "/upload", {}, {}, parts, EKYCHTTPMethod::post,
                                       *JSONDecoder::shared());
    };
    upload(MultipartForms{std::make_shared<MultipartFormData>(MultipartFormData::File{photo}, "file",
                                                              "ignored.png", "image/png"),
                          std::make_shared<MultipartFormData>(MultipartFormData::String{"FRONT"}, "type")});
    const auto file = seen.get_file_value("file");
    EXPECT_EQ(file.filename, "20240131235959.jpg");
    EXPECT_EQ(file.content_type, "image/jpeg");
    EXPECT_EQ(file.content, jpegBytes);
    EXPECT_EQ(seen.get_file_value("type").content, "FRONT");
    EXPECT_TRUE(
        std::regex_match(seen.get_header_value("Content-Type"),
                         std::regex("multipart/form-data; boundary=networking\\.boundary\\.[0-9a-f]{16}")));

    for (const auto& none : {std::optional<MultipartForms>(), std::optional(MultipartForms{})}) {
        upload(none);
        EXPECT_FALSE(seen.has_header("Content-Type") || !seen.body.empty())
            << "a POST without parts has no body and no Content-Type";
    }
}

// Every way an answer can fail, and what the caller learns from it.
TEST_F(HTTPClientTLS, FailedAnswersBecomeTheirErrors) {
    using enum EKYCAPIErrorCode;
    const std::optional<std::string> none;
    const std::tuple<std::string, EKYCAPIErrorCode, std::optional<int>, std::optional<std::string>> cases[]{
        {"/401", response, 401, "Phiên đã hết hạn"},
        {"/500", response, 500, none},
        {"/old", response, 302, none},  // redirects are not followed
        {"/599", noStatusCode, std::nullopt, none},
        {"/204", decodeReceivedDataFail, 204, none},
        {"/wrong-type", decodeReceivedDataFail, 200, none},
        {"/deep", decodeReceivedDataFail, 200, none},
        {"/envelope-misfit", decodeReceivedDataFail, 200, "xong"},  // the service's message is kept
    };
    for (const auto& [path, code, status, message] : cases) {
        const auto error = getFailure<EKYCBaseApiResponse<Person>>(path);
        EXPECT_EQ(error.codeType(), code) << path;
        EXPECT_EQ(error.domain(), "ai.qorix.sdk");
        EXPECT_EQ(error.status() ? std::optional(error.status()->rawValue()) : std::nullopt, status) << path;
        EXPECT_EQ(error.message(), message) << path;
    }
    EXPECT_EQ(hits, 0) << "the redirect was followed";
    const auto serverError = getFailure("/500");
    const auto* payload = std::any_cast<Data>(&serverError.payload());
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(asStringView(*payload), "upstream exploded");
}

TEST_F(HTTPClientTLS, PlainTextStandsForTextResultsOnly) {
    LogCapture log;
    EXPECT_EQ(get<std::string>("/text"), "Xin chào");
    EXPECT_EQ(getFailure<int>("/text").codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
    EXPECT_EQ(getFailure<std::string>("/html").codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
    const auto notText = getFailure<std::string>("/not-utf8");  // invalid UTF-8 does not become text
    EXPECT_EQ(notText.codeType(), EKYCAPIErrorCode::decodeReceivedDataFail);
    EXPECT_EQ(notText.status(), EKYCHTTPStatusCode::ok);
    EXPECT_NE(log.lineContaining("- decodeReceivedDataFail: "), "") << log.text();
}

TEST_F(HTTPClientTLS, RequestsThatMustNotLeaveAreRefusedBeforeSending) {
    // A header value may not smuggle extra header lines.
    EXPECT_EQ(getFailure("/x", {{"appID", "app\r\nX-Injected: yes"}}).codeType(), EKYCAPIErrorCode::unknow);
    // Plain HTTP is never spoken.
    const auto http =
        failureOf([&] { fetch(client, "http://127.0.0.1:" + std::to_string(server->port()), "/x"); });
    EXPECT_EQ(http.code(), static_cast<int>(URLErrorCode::unsupportedURL));
    EXPECT_EQ(hits, 0);
}

// ---- slow, silent and broken servers ----

TEST_F(HTTPClientTLS, SlowResponsesCarryTheWarningMark) {
    LogCapture log;
    get("/slow");
    get("/fast");
    for (const std::regex& pattern :
         {std::regex("Response time: \u26A0\uFE0F (1[6-9][0-9][0-9]|[2-9][0-9]{3,})\\.0 ms - https://.*/slow\\?$"),
          std::regex("Response time:  [0-9]+\\.0 ms - https://.*/fast\\?$")}) {
        const auto lines = log.lines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return std::regex_search(line, pattern);
        })) << log.text();
    }
}

TEST_F(HTTPClientTLS, SilentServerTimesOutAndReleasesTheCaller) {
    std::mutex mutex;
    std::condition_variable released;
    bool done = false;
    int answered = 0;
    // Silent until the test is over, then an answer that comes too late.
    const auto silent = [&](const httplib::Request&, httplib::Response& res) {
        std::unique_lock lock(mutex);
        released.wait_for(lock, std::chrono::seconds(30), [&] { return done; });
        ++answered;
        res.set_content(kOk, "application/json");
    };
    TlsTestServer quiet([&](httplib::Server& s) {
        s.Get("/silent", silent);
        s.Post("/silent", silent);
    });
    auto configuration = trustingTestCA();
    configuration.timeoutInterval = 1.0;
    EKYCHTTPClient impatient(configuration);
    // A body sent just before the silence counts as progress only while it moves.
    for (const bool withBody : {false, true}) {
        SCOPED_TRACE(withBody ? "POST" : "GET");
        const auto error = failureOf([&] {
            if (!withBody) return fetch(impatient, quiet.baseURL(), "/silent");
            return impatient.dataTask<Void>(
                quiet.baseURL(), "/silent", {}, {}, std::optional<std::string>(std::string(200000, 'x')),
                EKYCHTTPMethod::post, *JSONEncoder::shared(), *JSONDecoder::shared());
        });
        EXPECT_EQ(error.code(), static_cast<int>(URLErrorCode::timedOut));
        EXPECT_EQ(error.codeType(), EKYCAPIErrorCode::unknow);
        std::lock_guard lock(mutex);
        EXPECT_EQ(answered, 0) << "the caller must not wait for the server";
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    released.notify_all();
}

TEST_F(HTTPClientTLS, TruncatedAndOversizedBodiesEndTheExchange) {
    EXPECT_EQ(getFailure("/cut").code(), static_cast<int>(URLErrorCode::networkConnectionLost));
    auto configuration = trustingTestCA();
    configuration.maxResponseBytes = 1u << 20;
    const EKYCHTTPClient capped(configuration);
    for (const char* path : {"/declared", "/streamed"})
        EXPECT_EQ(getFailure(path, {}, &capped).code(),
                  static_cast<int>(URLErrorCode::dataLengthExceedsMaximum));
}

// ---- trust ----

TEST_F(HTTPClientTLS, OnlyTrustedServersEverSeeARequest) {
    pki::CertificateOptions expired, elsewhere;
    expired.notBefore = -std::chrono::hours(48);
    expired.notAfter = -std::chrono::hours(24);
    elsewhere.dnsNames = {"other.invalid"};
    elsewhere.ipAddresses = {};
    auto wrongPin = trustingTestCA(), pinned = trustingTestCA();
    wrongPin.pinnedPublicKeys = {pki::makeSelfSigned({}).publicKeyPin};
    pinned.pinnedPublicKeys = {pki::makeSelfSigned({}).publicKeyPin, TestPKI::localhost().publicKeyPin};
    const int untrusted = static_cast<int>(URLErrorCode::serverCertificateUntrusted);
    const int badDate = static_cast<int>(URLErrorCode::serverCertificateHasBadDate);
    // The error's code, 0 where the request goes through.
    const std::tuple<const char*, pki::IssuedCertificate, EKYCHTTPClient::Configuration, int> cases[]{
        {"unknown authority", TestPKI::localhost(), {}, untrusted},
        {"self-signed", pki::makeSelfSigned({}), trustingTestCA(), untrusted},
        {"expired", TestPKI::authority().issue(expired), trustingTestCA(), badDate},
        {"other host", TestPKI::authority().issue(elsewhere), trustingTestCA(), untrusted},
        {"pin mismatch", TestPKI::localhost(), wrongPin, untrusted},
        {"a matching pin among others", TestPKI::localhost(), pinned, 0},
    };
    for (const auto& [name, certificate, configuration, expected] : cases) {
        SCOPED_TRACE(name);
        hits = 0;
        TlsTestServer other([](httplib::Server& s) { s.Get("/x", countHit); }, certificate);
        int code = 0;
        try {
            fetch(EKYCHTTPClient(configuration), other.baseURL(), "/x");
        } catch (const EKYCAPIError& error) {
            code = error.code();
        }
        EXPECT_EQ(code, expected);
        EXPECT_EQ(hits, expected ? 0 : 1);
    }
}

// ---- connections, threads and the log ----

TEST_F(HTTPClientTLS, ConnectionsAreReusedAndThreadsShareOneClient) {
    for (int i = 0; i < 5; ++i) get("/echo");
    EXPECT_EQ(client.connectionsOpened(), 1);

    std::atomic<int> correct{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const std::string expected = std::to_string(t * 100 + i);
                if (get<EKYCBaseApiResponse<std::string>>("/echo", {}, {{"i", expected}}).value() == expected)
                    ++correct;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(correct, 40);
    EXPECT_LE(client.connectionsOpened(), 5);
}

TEST_F(HTTPClientTLS, TheLogShowsSizesAndMasksHeadersUnlessAskedForBodies) {
    const HTTPHeaders headers{{"transactionId", "SECRET-SESSION"},
                              {"appID", "SECRET-APP"},
                              {"X-Extra", "SECRET-EXTRA"},
                              {"language", "en"}};
    const auto submit = [&](const EKYCHTTPClient& with) {
        with.dataTask<EKYCBaseApiResponse<std::string>>(
            server->baseURL(), "/submitInfo", headers, {}, std::optional(Note{"SECRET-NAME"}),
            EKYCHTTPMethod::post, *JSONEncoder::shared(), *JSONDecoder::shared());
    };
    const auto expectLines = [](const LogCapture& log, std::initializer_list<std::string> fragments) {
        for (const auto& fragment : fragments)
            EXPECT_NE(log.lineContaining(fragment), "") << fragment << " is not in\n" << log.text();
    };
    {
        LogCapture log;
        submit(client);
        EXPECT_EQ(getFailure("/refused").message(), "SECRET-REASON");
        EXPECT_EQ(log.text().find("SECRET"), std::string::npos) << log.text();
        expectLines(log, {"Method: POST - " + server->baseURL() + "/submitInfo?", "Body: <27 bytes>",
                          R"(Headers: ["Content-Type": "application/json", "X-Extra": "<masked>", )"
                          R"("appID": "<masked>", "language": "en", "transactionId": "<masked>"])",
                          "OVIRA.EKYCHTTPStatusCode error 422"});
        for (const auto& entry : log.entries()) {
            EXPECT_EQ(entry.line.rfind("[Networking]: ", 0), 0u) << entry.line;
            EXPECT_EQ(entry.subsystem, "ai.qorix.OVIRA.networking");
        }
    }
    auto verbose = trustingTestCA();
    verbose.logsFullBodies = true;
    LogCapture log;
    submit(EKYCHTTPClient(verbose));
    expectLines(log, {R"(Body: {"note_text":"SECRET-NAME"})", R"("appID": "SECRET-APP")", "SECRET-SESSION",
                      R"(Response body: {"statusCode":0,"data":"SECRET-ANSWER"})"});
}

}  // namespace
}  // namespace ovira
