#include "DevServer.h"

#include <httplib.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>
#include <utility>

#include "Certificates.h"
#include "CountryList.h"
#include "Envelope.h"
#include "FaultTable.h"
#include "IdentityForms.h"
#include "Messages.h"
#include "PhotoJudge.h"
#include "RequestLog.h"
#include "Sessions.h"

namespace ovira::devserver {
namespace {

using nlohmann::json;

const std::string kBasePath = "/v1/ekyc";
const char* const kJSONType = "application/json; charset=utf-8";
// Room for a 20 MiB photo plus the multipart framing.
constexpr std::size_t kMaxPayload = 32u << 20;

enum class Upload { IdentityCard, DrivingLicence, Passport, Face };

// The "type" of an upload answer.
enum Side { Front = 1, Back = 2, PassportPage = 3, FacePhoto = 4 };

struct Context {
    const httplib::Request& request;
    const RequestBody& body;
    Language language;
    std::string session;
    std::uint64_t sequence;
};

using Handler = std::function<Reply(const Context&)>;

std::string newRequestId() {
    static std::mutex mutex;
    static std::mt19937_64 random{std::random_device{}()};
    std::lock_guard lock(mutex);
    const auto high = random();
    const auto low = random();
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-4%03x-%04x-%012llx", static_cast<unsigned>(high >> 32),
                  static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFF),
                  static_cast<unsigned>(0x8000 | ((low >> 48) & 0x3FFF)),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return text;
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// Header values may hold anything a client sent; keep them printable as JSON.
json safeText(const std::string& text) {
    return json::parse(json(text).dump(-1, ' ', false, json::error_handler_t::replace));
}

json* firstString(json& value) {
    if (value.is_string()) return &value;
    if (value.is_structured()) {
        for (auto& item : value) {
            if (auto* found = firstString(item)) return found;
        }
    }
    return nullptr;
}

// Numbers become strings, strings numbers, booleans strings: the shapes a
// careless server change would produce.
json swapTypes(const json& value) {
    if (value.is_object()) {
        json swapped = json::object();
        for (const auto& [key, item] : value.items()) swapped[key] = swapTypes(item);
        return swapped;
    }
    if (value.is_array()) {
        json swapped = json::array();
        for (const auto& item : value) swapped.push_back(swapTypes(item));
        return swapped;
    }
    if (value.is_number()) return value.dump();
    if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
    if (value.is_string()) return static_cast<json::number_integer_t>(value.get<std::string>().size());
    return value;
}

std::string withInvalidUTF8(json body) {
    static const std::string marker = "@@ovira-invalid-utf8@@";
    json* target = body.contains("data") ? firstString(body["data"]) : nullptr;
    if (!target) {
        if (!body.contains("message") || !body["message"].is_string()) body["message"] = "";
        target = &body["message"];
    }
    *target = marker + target->get<std::string>();
    auto text = body.dump(-1, ' ', false, json::error_handler_t::replace);
    // A stray continuation byte and a lead byte without its continuation.
    text.replace(text.find(marker), marker.size(), "\xFF\xC3\x28");
    return text;
}

// A valid envelope of Fault::kOversizedBytes, shaped like a country list.
const std::string& oversizedBody() {
    static const std::string body = [] {
        std::string text = R"({"statusCode":0,"message":"","data":[)";
        text.reserve(Fault::kOversizedBytes + 256);
        for (int id = 1; text.size() < Fault::kOversizedBytes; ++id) {
            if (id > 1) text += ',';
            text +=
                R"({"id":)" + std::to_string(id) + R"(,"name":"Country number )" + std::to_string(id) + "\"}";
        }
        text += "]}";
        return text;
    }();
    return body;
}

// Drops the connection under a request so that the client gets no answer at
// all: a linger of zero makes the close that follows send a reset.
void dropConnection(const httplib::Request& request) {
    if (!request.ssl) return;
    const int fd = SSL_get_fd(request.ssl);
    if (fd < 0) return;
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::shutdown(fd, SHUT_RDWR);
}

void respond(httplib::Response& response, Reply reply, const Fault* fault) {
    response.status = reply.httpStatus;
    if (fault && !fault->redirect.empty()) response.set_header("Location", fault->redirect);
    if (fault && fault->oversizedBody) {
        const auto& big = oversizedBody();
        response.set_content_provider(
            big.size(), kJSONType, [&big](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                sink.write(big.data() + offset, std::min<std::size_t>(length, 1u << 16));
                return true;
            });
        return;
    }
    if (fault && fault->wrongTypes && reply.body.contains("data"))
        reply.body["data"] = swapTypes(reply.body["data"]);
    auto text = fault && fault->invalidUTF8 ? withInvalidUTF8(reply.body)
                                            : reply.body.dump(-1, ' ', false, json::error_handler_t::replace);
    if (fault && fault->malformedJSON) text.resize(std::max<std::size_t>(1, text.size() / 2));
    if (fault && fault->truncatedBody) {
        // Half of what Content-Length promises; the provider's failure then closes the connection.
        auto whole = std::make_shared<std::string>(std::move(text));
        response.set_content_provider(whole->size(), kJSONType,
                                      [whole](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset == 0) sink.write(whole->data(), whole->size() / 2);
                                          return false;
                                      });
        return;
    }
    response.set_content(text, kJSONType);
}

json describe(const Verdict& verdict) {
    json described{{"width", verdict.width},           {"height", verdict.height},
                   {"sharpness", verdict.sharpness},   {"brightness", verdict.brightness},
                   {"burntShare", verdict.burntShare}, {"blackShare", verdict.blackShare},
                   {"faces", verdict.faces},           {"faceWidthShare", verdict.faceWidthShare},
                   {"accepted", !verdict.rejection}};
    described["cardWidthShare"] = verdict.cardWidthShare;
    if (verdict.rejection) described["reason"] = text(*verdict.rejection, Language::English);
    return described;
}

}  // namespace

struct DevServer::Impl {
    Options options;
    std::filesystem::path dataDir;
    CertificateFiles certificates;
    std::optional<CountryList> countries;
    std::unique_ptr<PhotoJudge> judge;
    FaultTable faults;
    RequestLog log;
    SessionStore sessions;
    std::mutex submissionsFile;

    std::unique_ptr<httplib::SSLServer> server;
    std::thread thread;
    int port = 0;

    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopping = false;

    void addRoutes();
    void get(const std::string& endpoint, Handler handler);
    void post(const std::string& endpoint, Handler handler);
    void serve(const httplib::Request& request, httplib::Response& response, const std::string& endpoint,
               const RequestBody& body, const Handler& handler);
    std::optional<Reply> authorize(const httplib::Request& request, Language language) const;
    void pause(std::chrono::milliseconds delay);

    Reply countryList(const Context& context) const;
    Reply upload(const Context& context, Upload kind);
    Reply getInfo(const Context& context);
    Reply submitInfo(const Context& context);
    void addControlRoutes();
};

void DevServer::Impl::pause(std::chrono::milliseconds delay) {
    std::unique_lock lock(stopMutex);
    stopSignal.wait_for(lock, delay, [this] { return stopping; });
}

std::optional<Reply> DevServer::Impl::authorize(const httplib::Request& request, Language language) const {
    if (!options.appIDs.empty()) {
        const auto app = request.get_header_value("appID");
        if (std::find(options.appIDs.begin(), options.appIDs.end(), app) == options.appIDs.end()) {
            return httpError(401, Message::UnknownApp, language);
        }
    }
    if (request.get_header_value("transactionId").empty())
        return httpError(401, Message::MissingSession, language);
    return std::nullopt;
}

void DevServer::Impl::serve(const httplib::Request& request, httplib::Response& response,
                            const std::string& endpoint, const RequestBody& body, const Handler& handler) {
    const auto sequence = log.record(request, body);
    const auto language = languageFromHeader(request.get_header_value("language"));
    const auto fault = faults.take(endpoint);
    if (fault) log.annotate(sequence, "fault", fault->toJSON());
    if (fault && fault->delay.count() > 0) pause(fault->delay);
    if (fault && fault->resetConnection) {
        dropConnection(request);
        return;
    }

    Reply reply;
    const auto forcedMessage = [&] {
        return fault->message.empty() ? text(Message::ForcedFailure, language) : fault->message;
    };
    if (fault && !fault->redirect.empty()) {
        reply = {307, {{"statusCode", 307}, {"data", nullptr}, {"message", forcedMessage()}}};
    } else if (fault && fault->httpStatus != 0) {
        reply = {fault->httpStatus,
                 {{"statusCode", fault->httpStatus}, {"data", nullptr}, {"message", forcedMessage()}}};
    } else if (fault && fault->statusCode) {
        reply = {200, {{"statusCode", *fault->statusCode}, {"data", nullptr}, {"message", forcedMessage()}}};
    } else if (auto refusal = authorize(request, language)) {
        reply = std::move(*refusal);
    } else {
        reply =
            handler(Context{request, body, language, request.get_header_value("transactionId"), sequence});
    }
    log.annotate(sequence, "response",
                 {{"httpStatus", reply.httpStatus}, {"statusCode", reply.body.value("statusCode", 0)}});
    respond(response, std::move(reply), fault ? &*fault : nullptr);
    if (fault && fault->trickle.count() > 0 && !response.body.empty()) {
        // The same answer, one byte at a time: never silent long enough for
        // an idle time-out, never done.
        auto whole = std::make_shared<std::string>(std::move(response.body));
        response.body.clear();
        const auto type = response.get_header_value("Content-Type");
        response.headers.erase("Content-Type");
        response.set_content_provider(
            whole->size(), type, [this, whole, step = fault->trickle](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                pause(step);
                {
                    std::lock_guard lock(stopMutex);
                    if (stopping) return false;
                }
                return sink.write(whole->data() + offset, 1);
            });
    }
}

void DevServer::Impl::get(const std::string& endpoint, Handler handler) {
    server->Get(kBasePath + endpoint,
                [this, endpoint, handler](const httplib::Request& request, httplib::Response& response) {
                    serve(request, response, endpoint, RequestBody{}, handler);
                });
}

void DevServer::Impl::post(const std::string& endpoint, Handler handler) {
    server->Post(kBasePath + endpoint,
                 [this, endpoint, handler](const httplib::Request& request, httplib::Response& response,
                                           const httplib::ContentReader& reader) {
                     RequestBody body;
                     bool complete = false;
                     // Read through the content reader to keep the parts in the order sent.
                     if (request.is_multipart_form_data()) {
                         body.multipart = true;
                         complete = reader(
                             [&](const httplib::MultipartFormData& part) {
                                 body.parts.push_back(part);
                                 return true;
                             },
                             [&](const char* data, std::size_t size) {
                                 body.parts.back().content.append(data, size);
                                 return true;
                             });
                     } else {
                         complete = reader([&](const char* data, std::size_t size) {
                             body.raw.append(data, size);
                             return true;
                         });
                     }
                     if (!complete) {
                         // httplib has set 413 or 400 already; the error handler adds the envelope.
                         if (response.status < 400) response.status = 400;
                         return;
                     }
                     serve(request, response, endpoint, body, handler);
                 });
}

Reply DevServer::Impl::countryList(const Context& context) const {
    json list = json::array();
    for (const auto& country : countries->countries(context.language)) {
        list.push_back({{"id", country.id}, {"name", country.name}});
    }
    return success(std::move(list), context.language);
}

Reply DevServer::Impl::upload(const Context& context, Upload kind) {
    const auto* file = context.body.part("file");
    if (!file) return failure(Message::MissingFile, context.language);
    int side = kind == Upload::Passport ? PassportPage : FacePhoto;
    if (kind == Upload::IdentityCard || kind == Upload::DrivingLicence) {
        const auto* type = context.body.part("type");
        if (!type || (type->content != "FRONT" && type->content != "BACK")) {
            return failure(Message::InvalidSide, context.language);
        }
        side = type->content == "FRONT" ? Front : Back;
    }

    const auto verdict =
        kind == Upload::Face ? judge->judgeFace(file->content) : judge->judgeDocument(file->content);
    log.annotate(context.sequence, "verdict", describe(verdict));
    if (verdict.rejection) return failure(*verdict.rejection, context.language);

    json data;
    sessions.with(context.session, [&](Session& session) {
        if (kind != Upload::Face) {
            const auto document = kind == Upload::IdentityCard     ? DocumentKind::IdentityCard
                                  : kind == Upload::DrivingLicence ? DocumentKind::DrivingLicence
                                                                   : DocumentKind::Passport;
            if (session.kind != document) {
                session.kind = document;
                session.front = session.back = session.page = false;
            }
        }
        (side == Front          ? session.front
         : side == Back         ? session.back
         : side == PassportPage ? session.page
                                : session.face) = true;
        data = {{"action", session.nextAction()},
                {"requestId", newRequestId()},
                {"transactionId", session.number},
                {"type", side}};
    });
    return success(std::move(data), context.language);
}

Reply DevServer::Impl::getInfo(const Context& context) {
    Reply reply;
    sessions.with(context.session, [&](Session& session) {
        const auto missing = session.missing();
        if (missing.empty()) {
            reply = success(identityInfo(*session.kind, context.language, *countries, localToday(),
                                         options.identityValues),
                            context.language);
            return;
        }
        std::string list;
        for (const auto part : missing) list += (list.empty() ? "" : ", ") + text(part, context.language);
        reply = failure(Message::PhotosMissing, context.language, list + ".");
    });
    return reply;
}

Reply DevServer::Impl::submitInfo(const Context& context) {
    const auto body = json::parse(context.body.raw, nullptr, false);
    if (body.is_discarded() || !body.is_object() || !body.contains("data") || !body["data"].is_string()) {
        return failure(Message::InvalidSubmission, context.language,
                       pick(context.language, "nội dung phải có dạng {\"data\": \"<mảng JSON dạng chuỗi>\"}",
                            "the body must read {\"data\": \"<JSON array as a string>\"}"));
    }
    std::optional<DocumentKind> kind;
    sessions.with(context.session, [&](Session& session) { kind = session.kind; });
    auto check = checkSubmission(body["data"].get<std::string>(), kind, context.language, *countries,
                                 localToday(), options.identityValues);
    if (!check.error.empty()) return failure(Message::InvalidSubmission, context.language, check.error);

    json record{{"transactionId", safeText(context.session)},
                {"appID", safeText(context.request.get_header_value("appID"))},
                {"receivedAt", utcNow()},
                {"identityType", kind ? json(identityType(*kind)) : json(nullptr)},
                {"fields", std::move(check.fields)}};
    {
        std::lock_guard lock(submissionsFile);
        std::ofstream out(dataDir / "submissions.jsonl", std::ios::app);
        out << record.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
    }
    sessions.addSubmission(std::move(record));
    return success(true, context.language);
}

void DevServer::Impl::addRoutes() {
    get("/listCountry", [this](const Context& c) { return countryList(c); });
    get("/listNational", [this](const Context& c) { return countryList(c); });
    post("/nationId", [this](const Context& c) { return upload(c, Upload::IdentityCard); });
    post("/driverlicense", [this](const Context& c) { return upload(c, Upload::DrivingLicence); });
    post("/passport", [this](const Context& c) { return upload(c, Upload::Passport); });
    post("/captureFace", [this](const Context& c) { return upload(c, Upload::Face); });
    get("/getInfo", [this](const Context& c) { return getInfo(c); });
    post("/submitInfo", [this](const Context& c) { return submitInfo(c); });

    server->set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        if (response.has_header("Content-Type")) return;  // an answer of ours, already with a body
        const auto language = languageFromHeader(request.get_header_value("language"));
        const auto message = response.status == 404   ? Message::NotFound
                             : response.status == 413 ? Message::RequestTooLarge
                                                      : Message::BadRequest;
        response.set_content(
            json{{"statusCode", response.status}, {"data", nullptr}, {"message", text(message, language)}}
                .dump(),
            kJSONType);
    });
    addControlRoutes();
}

void DevServer::Impl::addControlRoutes() {
    const auto sendJSON = [](httplib::Response& response, const json& value, int status = 200) {
        response.status = status;
        response.set_content(value.dump(-1, ' ', false, json::error_handler_t::replace), kJSONType);
    };
    const auto listFaults = [this] {
        json list = json::array();
        for (const auto& fault : faults.list()) list.push_back(fault.toJSON());
        return list;
    };
    server->Get("/__control/faults", [=](const httplib::Request&, httplib::Response& response) {
        sendJSON(response, listFaults());
    });
    server->Post(
        "/__control/faults", [=, this](const httplib::Request& request, httplib::Response& response) {
            auto body = json::parse(request.body, nullptr, false);
            if (body.is_object()) body = json::array({body});
            if (!body.is_array())
                return sendJSON(response, {{"error", "the body must be a fault object or an array of them"}},
                                400);
            std::vector<Fault> parsed;
            try {
                for (const auto& item : body) parsed.push_back(Fault::fromJSON(item));
            } catch (const std::invalid_argument& error) {
                return sendJSON(response, {{"error", error.what()}}, 400);
            }
            for (const auto& fault : parsed) faults.set(fault);
            sendJSON(response, listFaults());
        });
    server->Delete("/__control/faults", [=, this](const httplib::Request&, httplib::Response& response) {
        faults.clear();
        sendJSON(response, json::array());
    });
    server->Get("/__control/requests", [=, this](const httplib::Request&, httplib::Response& response) {
        sendJSON(response, log.entries());
    });
    server->Delete("/__control/requests", [=, this](const httplib::Request&, httplib::Response& response) {
        log.clear();
        sendJSON(response, json::array());
    });
    server->Get("/__control/submissions",
                [=, this](const httplib::Request& request, httplib::Response& response) {
                    auto all = sessions.submissions();
                    if (!request.has_param("transactionId")) return sendJSON(response, all);
                    json chosen = json::array();
                    for (auto& item : all) {
                        if (item["transactionId"] == request.get_param_value("transactionId"))
                            chosen.push_back(std::move(item));
                    }
                    sendJSON(response, chosen);
                });
}

DevServer::DevServer() : DevServer(Options{}) {}

DevServer::DevServer(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
}

DevServer::~DevServer() {
    stop();
}

int DevServer::start() {
    auto& impl = *impl_;
    if (impl.server) throw std::runtime_error("the development server is already started");
    if (impl.options.minCardWidth < 1)
        throw std::invalid_argument("the minimum card width must be at least 1 pixel, not " +
                                    std::to_string(impl.options.minCardWidth));
    impl.dataDir = impl.options.dataDir.empty() ? defaultDataDir() : impl.options.dataDir;
    impl.certificates = ensureCertificates(impl.dataDir);
    impl.countries = CountryList::load();
    checkIdentityValues(impl.options.identityValues, *impl.countries, localToday());
    PhotoJudge::Thresholds thresholds;
    thresholds.minCardWidth = impl.options.minCardWidth;
    impl.judge = std::make_unique<PhotoJudge>(PhotoJudge::kDefaultCascade, thresholds);
    for (const auto& fault : impl.options.faults) setFault(fault);
    impl.stopping = false;

    // A client that vanishes mid-answer (and the reset fault) must not kill
    // the process with SIGPIPE; only the default action is replaced.
    if (auto previous = std::signal(SIGPIPE, SIG_IGN); previous != SIG_DFL && previous != SIG_ERR) {
        std::signal(SIGPIPE, previous);
    }

    auto server = std::make_unique<httplib::SSLServer>(impl.certificates.serverCertificate.c_str(),
                                                       impl.certificates.serverKey.c_str());
    if (!server->is_valid()) {
        throw std::runtime_error("the server certificate in " + impl.dataDir.string() + " cannot be loaded");
    }
    // Delayed answers hold a thread each; keep enough for the others.
    server->new_task_queue = [] { return new httplib::ThreadPool(16); };
    // Answers go out as a header write and a body write; without this, Nagle's
    // algorithm and delayed ACKs stall every answer on a kept-alive connection.
    server->set_tcp_nodelay(true);
    server->set_keep_alive_max_count(10000);
    server->set_keep_alive_timeout(impl.options.keepAliveSeconds);
    server->set_payload_max_length(kMaxPayload);
    server->set_read_timeout(30);
    server->set_write_timeout(30);
    impl.server = std::move(server);
    impl.addRoutes();

    const int port =
        impl.options.port == 0
            ? impl.server->bind_to_any_port("127.0.0.1")
            : (impl.server->bind_to_port("127.0.0.1", impl.options.port) ? impl.options.port : -1);
    if (port <= 0) {
        impl.server.reset();
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(impl.options.port) +
                                 " (is the port in use?)");
    }
    impl.port = port;
    impl.thread = std::thread([&impl] { impl.server->listen_after_bind(); });
    // stop() is ignored until the server runs; wait so that it cannot be missed.
    while (!impl.server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port;
}

void DevServer::stop() {
    auto& impl = *impl_;
    {
        std::lock_guard lock(impl.stopMutex);
        impl.stopping = true;
    }
    impl.stopSignal.notify_all();
    if (impl.server) impl.server->stop();
    if (impl.thread.joinable()) impl.thread.join();
}

int DevServer::port() const {
    return impl_->port;
}

std::string DevServer::baseURL() const {
    return "https://127.0.0.1:" + std::to_string(impl_->port);
}

std::filesystem::path DevServer::caFile() const {
    return impl_->certificates.caCertificate;
}

std::filesystem::path DevServer::dataDir() const {
    return impl_->dataDir;
}

// Through the JSON form, so that a fault made in code is checked like one
// sent to the control endpoint.
void DevServer::setFault(const Fault& fault) {
    impl_->faults.set(Fault::fromJSON(fault.toJSON()));
}

void DevServer::clearFaults() {
    impl_->faults.clear();
}

std::vector<Fault> DevServer::faults() const {
    return impl_->faults.list();
}

nlohmann::json DevServer::requests() const {
    return impl_->log.entries();
}

void DevServer::clearRequests() {
    impl_->log.clear();
}

nlohmann::json DevServer::submissions() const {
    return impl_->sessions.submissions();
}

std::filesystem::path DevServer::defaultDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return std::filesystem::path(xdg) / "ekyc-devserver";
    const char* home = std::getenv("HOME");
    if (!home || !*home) throw std::runtime_error("neither XDG_DATA_HOME nor HOME is set; pass --data-dir");
    return std::filesystem::path(home) / ".local" / "share" / "ekyc-devserver";
}

}  // namespace ovira::devserver
