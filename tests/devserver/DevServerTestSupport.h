#pragma once

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devserver/DevServer.h"

namespace ovira::devserver::test {

// The test pictures: $OVIRA_TESTDATA, else the repository's .deps/testdata (scripts/fetch-testdata.sh).
std::string testImage(const std::string& name);
std::string encode(const cv::Mat& image, const std::string& extension = ".png");
cv::Mat decodeImage(const std::string& bytes);

// A made-up identity card: coloured header, text lines with rules, a photo box.
cv::Mat drawCard(cv::Size size = {1000, 631});
// Where a card of `size` is: all of it but its rounded corners (3.18 mm).
cv::Mat cardShape(cv::Size size);

// Options for a server keeping its files in `folder`.
DevServer::Options optionsIn(const std::filesystem::path& folder);

// A server started in `folder` that accepts `appIDs`, with the library
// pointed at it: its host and CA in the host's settings, "EKYCAppID"
// "bank-app", and OVIRA::config() applied.
std::unique_ptr<DevServer> startForLibrary(const std::filesystem::path& folder,
                                           std::vector<std::string> appIDs = {"bank-app"});

// One server per test process, started on first use with a private data folder.
DevServer& sharedServer();

// An HTTPS client that trusts only the server's own CA and checks its name.
std::unique_ptr<httplib::SSLClient> connect(const DevServer& server);

httplib::Headers sessionHeaders(const std::string& transactionId, const std::string& language = "vi");

// The body as JSON; a null value when it is not JSON.
nlohmann::json bodyOf(const httplib::Result& result);

// Uploads a photo, with the "type" part when `side` is not empty.
httplib::Result upload(httplib::SSLClient& client, const std::string& endpoint,
                       const httplib::Headers& headers, const std::string& photo,
                       const std::string& side = {});

// The identity card's two sides and a face, accepted for the session as the
// capture screens would send them, so that the session's form can be
// fetched. The server must accept the appID "ovira-tests".
void acceptIdentityCard(const DevServer& server, const std::string& transactionId);

}  // namespace ovira::devserver::test
