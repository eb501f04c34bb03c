// Uploads of a 300 KB photograph over loopback HTTPS through the library's
// repository and HTTP client, against a bare libcurl loop that reuses one
// handle; and the decoding of a whole identity-document envelope as a share
// of one round trip.
#include <curl/curl.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <fstream>

#include "BenchSupport.h"
#include "api/EKYCBaseRepo.h"
#include "api/EKYCRepoImpl.h"
#include "devserver/DevServer.h"
#include "ovira/EKYCLogger.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"

using namespace ovira;

namespace {

constexpr int kUploads = 200;

std::string writePhoto(const std::filesystem::path& folder) {
    // A card-like picture with grain: about 300 KB as a JPEG.
    cv::Mat photo(700, 1100, CV_8UC3, cv::Scalar(215, 225, 235));
    cv::Mat grain(photo.size(), CV_8UC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(18));
    photo += grain;
    cv::rectangle(photo, {40, 40}, {1060, 660}, {60, 60, 60}, 4);
    std::vector<unsigned char> bytes;
    int quality = 95;
    do {
        cv::imencode(".jpg", photo, bytes, {cv::IMWRITE_JPEG_QUALITY, quality});
        quality -= 3;
    } while (bytes.size() > 320 * 1024 && quality > 20);
    const auto path = folder / "photo.jpg";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

size_t ignore(char*, size_t size, size_t count, void*) {
    return size * count;
}
size_t collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

struct Bare {
    double milliseconds = 0;
    long connections = 0;
};

Bare bareLoop(const std::string& base, const std::string& ca, const std::string& photo,
              const std::string& session, int uploads) {
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "language: vi");
    headers = curl_slist_append(headers, "appID: bench-app");
    headers = curl_slist_append(headers, ("transactionId: " + session).c_str());
    curl_easy_setopt(curl, CURLOPT_URL, (base + "/nationId").c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ignore);
    Bare result;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < uploads; ++i) {
        curl_mime* mime = curl_mime_init(curl);
        curl_mimepart* file = curl_mime_addpart(mime);
        curl_mime_name(file, "file");
        curl_mime_filedata(file, photo.c_str());
        curl_mime_type(file, "image/jpeg");
        curl_mimepart* type = curl_mime_addpart(mime);
        curl_mime_name(type, "type");
        curl_mime_data(type, "FRONT", CURL_ZERO_TERMINATED);
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);
        if (curl_easy_perform(curl) != CURLE_OK) std::fprintf(stderr, "bare upload failed\n");
        long connects = 0;
        curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
        result.connections += connects;
        curl_mime_free(mime);
    }
    result.milliseconds = bench::millisecondsSince(start);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result;
}

std::string fetch(const std::string& url, const std::string& ca, const std::string& session) {
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "appID: bench-app");
    headers = curl_slist_append(headers, ("transactionId: " + session).c_str());
    std::string body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return body;
}

}  // namespace

int main() {
    EKYCLogger::setSink({});  // the library's request log would dominate the timings
    const auto folder =
        std::filesystem::temp_directory_path() / ("ovira-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    devserver::DevServer::Options options;
    options.dataDir = folder / "service";
    devserver::DevServer server(options);
    const int port = server.start();
    MainBundle::main().setObject("EKYCServiceHost", "127.0.0.1:" + std::to_string(port));
    MainBundle::main().setObject("EKYCServiceCACertificate", server.caFile().string());
    MainBundle::main().setObject("EKYCAppID", "bench-app");
    OVIRA::config();
    EKYCApplication().startSession();
    const std::string session = EKYCUserDefault::transactionId().value();
    const std::string photo = writePhoto(folder);
    const auto photoSize = std::filesystem::file_size(photo);

    EKYCRepoImpl repo;
    std::vector<double> roundTrips;
    const auto ourUploads = [&](int uploads) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < uploads; ++i) {
            const auto one = std::chrono::steady_clock::now();
            try {
                repo.uploadDocument(EkycTypeDocument::idCard, EKYCStep::front, std::filesystem::path(photo));
            } catch (const EKYCAPIError&) {
                // The service may turn the picture down; the exchange is what is measured.
            }
            roundTrips.push_back(bench::millisecondsSince(one));
        }
        return bench::millisecondsSince(start);
    };
    // Both warm up first (the service loads its detectors on the first
    // photograph), then take turns, so that neither gets the quieter moments.
    const long connectionsBefore = EKYCHTTPClient::shared()->connectionsOpened();
    ourUploads(5);
    Bare bare = bareLoop(repo.baseURL(), server.caFile().string(), photo, session, 5);
    roundTrips.clear();
    bare = {};
    double ours = 0;
    constexpr int kTurns = 4;
    for (int turn = 0; turn < kTurns; ++turn) {
        ours += ourUploads(kUploads / kTurns);
        const Bare part = bareLoop(repo.baseURL(), server.caFile().string(), photo, session, kUploads / kTurns);
        bare.milliseconds += part.milliseconds;
        bare.connections += part.connections;
    }
    const long connections = EKYCHTTPClient::shared()->connectionsOpened() - connectionsBefore;

    bench::printHeader("Uploads: " + std::to_string(kUploads) + " x " + std::to_string(photoSize / 1024) +
                       " KB over loopback HTTPS (throughput; bare libcurl loop reusing one handle,\n"
                       "in four alternating turns after a warm-up)");
    const double oursRate = kUploads / (ours / 1000), bareRate = kUploads / (bare.milliseconds / 1000);
    bench::printRow("uploads per second", bench::format(oursRate, 1), bench::format(bareRate, 1),
                    bench::format(oursRate / bareRate), ">= 0.90");
    bench::printRow("connections opened", std::to_string(connections),
                    std::to_string(bare.connections) + " (one a turn)", "",
                    "1 in all");

    // A session whose photographs were accepted, so that its document can be read.
    EKYCApplication().startSession();
    const std::string reader = EKYCUserDefault::transactionId().value();
    std::vector<unsigned char> card;
    cv::Mat drawn(631, 1000, CV_8UC3, cv::Scalar(228, 236, 242));
    cv::rectangle(drawn, {0, 0}, {1000, 110}, {60, 60, 170}, cv::FILLED);
    for (int line = 0; line < 6; ++line)
        cv::putText(drawn, "Full name: NGUYEN VAN AN 0123456789", {340, 180 + line * 60},
                    cv::FONT_HERSHEY_SIMPLEX, 0.8, {30, 30, 30}, 2);
    cv::imwrite((folder / "card.jpg").string(), drawn);
    cv::imwrite((folder / "face.png").string(), bench::testPicture("astronaut.png"));
    for (const auto step : {EKYCStep::front, EKYCStep::back}) {
        try {
            repo.uploadDocument(EkycTypeDocument::idCard, step, folder / "card.jpg");
        } catch (const EKYCAPIError&) {
        }
    }
    try {
        repo.uploadFace(folder / "face.png");
    } catch (const EKYCAPIError&) {
    }
    const std::string envelope = fetch(repo.baseURL() + "/getInfo", server.caFile().string(), reader);
    const Data bytes = makeData(envelope);
    std::vector<double> decodes;
    std::size_t fields = 0;
    for (int i = 0; i < 2000; ++i) {
        const auto one = std::chrono::steady_clock::now();
        try {
            fields = EKYCBaseRepo::decoder()
                         .decode<EKYCBaseApiResponse<EKYCIdentityDocument>>(bytes)
                         .value()
                         .form.size();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "decoding failed: %s\n", error.what());
            return 1;
        }
        decodes.push_back(bench::millisecondsSince(one));
    }
    const auto decode = bench::summarize(decodes);
    const auto trip = bench::summarize(roundTrips);
    bench::printHeader("Decoding a whole identity-document envelope (" + std::to_string(envelope.size()) +
                       " bytes, " + std::to_string(fields) + " fields) against one upload round trip");
    bench::printRow("median", bench::format(decode.median * 1000, 1, " us"),
                    bench::format(trip.median, 2, " ms"),
                    bench::format(100 * decode.median / trip.median, 2, " %"), "<= 5 %");
    std::filesystem::remove_all(folder);
    return 0;
}
