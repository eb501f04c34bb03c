#include "DevServerTestSupport.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "support/TemporaryDirectory.h"

namespace ovira::devserver::test {

std::string testImage(const std::string& name) {
    const char* configured = std::getenv("OVIRA_TESTDATA");
    const std::filesystem::path folder =
        configured && *configured ? std::filesystem::path(configured)
                                  : std::filesystem::path(OVIRA_REPO_DIR) / ".deps" / "testdata";
    std::ifstream in(folder / name, std::ios::binary);
    if (!in) throw std::runtime_error("missing test image " + (folder / name).string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string encode(const cv::Mat& image, const std::string& extension) {
    std::vector<unsigned char> bytes;
    cv::imencode(extension, image, bytes);
    return {bytes.begin(), bytes.end()};
}

cv::Mat decodeImage(const std::string& bytes) {
    return cv::imdecode(std::vector<unsigned char>(bytes.begin(), bytes.end()), cv::IMREAD_COLOR);
}

cv::Mat cardShape(cv::Size size) {
    const int r = static_cast<int>(std::lround(size.width * 3.18 / 85.6));
    cv::Mat shape(size, CV_8UC1, cv::Scalar(0));
    cv::rectangle(shape, cv::Rect(r, 0, size.width - 2 * r, size.height), cv::Scalar(255), cv::FILLED);
    cv::rectangle(shape, cv::Rect(0, r, size.width, size.height - 2 * r), cv::Scalar(255), cv::FILLED);
    for (const cv::Point centre :
         {cv::Point(r, r), cv::Point(size.width - 1 - r, r), cv::Point(r, size.height - 1 - r),
          cv::Point(size.width - 1 - r, size.height - 1 - r)})
        cv::circle(shape, centre, r, cv::Scalar(255), cv::FILLED);
    return shape;
}

cv::Mat drawCard(cv::Size size) {
    const double s = size.width / 1000.0;
    const auto at = [s](double x, double y) {
        return cv::Point(static_cast<int>(x * s), static_cast<int>(y * s));
    };
    cv::Mat card(size, CV_8UC3, cv::Scalar(228, 236, 242));
    cv::rectangle(card, at(0, 0), at(1000, 110), cv::Scalar(60, 60, 170), cv::FILLED);
    cv::putText(card, "SOCIALIST REPUBLIC OF VIET NAM", at(140, 50), cv::FONT_HERSHEY_SIMPLEX, s,
                {255, 255, 255}, 2);
    cv::putText(card, "CITIZEN IDENTITY CARD", at(220, 95), cv::FONT_HERSHEY_SIMPLEX, s, {255, 255, 255}, 2);
    cv::rectangle(card, at(40, 150), at(300, 490), cv::Scalar(150, 140, 130), cv::FILLED);
    cv::circle(card, at(170, 260), static_cast<int>(70 * s), {90, 110, 150}, cv::FILLED);
    // clang-format off
    const char* lines[] = {"No.: 001090012345", "Full name: NGUYEN VAN AN", "Date of birth: 15/08/1990",
                           "Sex: Male  Nationality: Viet Nam", "Place of origin: Dong Anh, Ha Noi",
                           "Place of residence: 12 Trang Tien"};
    // clang-format on
    for (int i = 0; i < 6; ++i) {
        cv::putText(card, lines[i], at(340, 180 + i * 60), cv::FONT_HERSHEY_SIMPLEX, 0.8 * s, {30, 30, 30},
                    2);
        cv::line(card, at(340, 195 + i * 60), at(960, 195 + i * 60), {170, 170, 170}, 1);
    }
    cv::rectangle(card, cv::Rect(2, 2, size.width - 4, size.height - 4), {80, 80, 80}, 3);
    return card;
}

DevServer::Options optionsIn(const std::filesystem::path& folder) {
    DevServer::Options options;
    options.dataDir = folder;
    // Idle connections hold the server's shutdown this long.
    options.keepAliveSeconds = 1;
    return options;
}

std::unique_ptr<DevServer> startForLibrary(const std::filesystem::path& folder,
                                           std::vector<std::string> appIDs) {
    auto options = optionsIn(folder);
    options.appIDs = std::move(appIDs);
    auto server = std::make_unique<DevServer>(options);
    const int port = server->start();
    MainBundle::main().setObject("EKYCServiceHost", "127.0.0.1:" + std::to_string(port));
    MainBundle::main().setObject("EKYCServiceCACertificate", server->caFile().string());
    MainBundle::main().setObject("EKYCAppID", "bank-app");
    OVIRA::config();
    return server;
}

DevServer& sharedServer() {
    static ovira::test::TemporaryDirectory folder;
    static DevServer server{optionsIn(folder.path())};
    static const int port = server.start();
    (void)port;
    return server;
}

std::unique_ptr<httplib::SSLClient> connect(const DevServer& server) {
    auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", server.port());
    client->set_ca_cert_path(server.caFile().c_str());
    client->enable_server_certificate_verification(true);
    client->set_read_timeout(10, 0);
    client->set_tcp_nodelay(true);
    return client;
}

httplib::Headers sessionHeaders(const std::string& transactionId, const std::string& language) {
    return {{"language", language}, {"appID", "ovira-tests"}, {"transactionId", transactionId}};
}

nlohmann::json bodyOf(const httplib::Result& result) {
    if (!result) return nullptr;
    auto parsed = nlohmann::json::parse(result->body, nullptr, false);
    return parsed.is_discarded() ? nlohmann::json() : parsed;
}

httplib::Result upload(httplib::SSLClient& client, const std::string& endpoint,
                       const httplib::Headers& headers, const std::string& photo, const std::string& side) {
    httplib::MultipartFormDataItems parts{{"file", photo, "photo.png", "image/png"}};
    if (!side.empty()) parts.push_back({"type", side, "", ""});
    return client.Post(("/v1/ekyc" + endpoint).c_str(), headers, parts);
}

void acceptIdentityCard(const DevServer& server, const std::string& transactionId) {
    auto client = connect(server);
    const auto headers = sessionHeaders(transactionId);
    const auto card = encode(drawCard(), ".jpg");
    for (const auto& [path, photo, side] :
         {std::tuple{"/nationId", card, "FRONT"}, std::tuple{"/nationId", card, "BACK"},
          std::tuple{"/captureFace", testImage("astronaut.png"), ""}}) {
        const auto answer = upload(*client, path, headers, photo, side);
        EXPECT_EQ(bodyOf(answer)["statusCode"], 0) << path << " " << side;
    }
}

}  // namespace ovira::devserver::test
