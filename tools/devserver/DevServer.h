#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Faults.h"
#include "IdentityForms.h"
#include "PhotoJudge.h"

namespace ovira::devserver {

// The development eKYC service: a real HTTPS server on 127.0.0.1 speaking the
// wire contract of the production service under /v1/ekyc, judging uploaded
// photos with OpenCV, and able to misbehave on request (see Fault). A
// developer runs it as ekyc-devserver; tests run it in-process.
//
// Upload answers carry data {"action", "requestId", "transactionId", "type"}:
// action is the step the service expects next (UPLOAD_FRONT, UPLOAD_BACK,
// UPLOAD_PASSPORT, CAPTURE_FACE, CONFIRM_INFO), transactionId the session's
// number on this server, type 1 front, 2 back, 3 passport page, 4 face.
//
// Besides /v1/ekyc it serves, without authentication, /__control/faults
// (GET, POST a fault object or array, DELETE), /__control/requests (GET,
// DELETE) and /__control/submissions (GET).
class DevServer {
public:
    struct Options {
        int port = 0;                     // 0 picks a free port
        std::filesystem::path dataDir;    // empty: defaultDataDir()
        std::vector<std::string> appIDs;  // accepted "appID" headers; empty accepts any
        std::vector<Fault> faults;        // in force from the start
        int keepAliveSeconds = 5;         // how long an idle connection is kept open
        IdentityValues identityValues;    // what getInfo "reads" instead of the sample holder's
        // Document photos narrower than this many pixels are refused (at least 1).
        int minCardWidth = PhotoJudge::Thresholds{}.minCardWidth;
    };

    DevServer();
    explicit DevServer(Options options);
    ~DevServer();  // stops the server
    DevServer(const DevServer&) = delete;
    DevServer& operator=(const DevServer&) = delete;

    // Makes or reuses the certificates, then listens; returns the bound port.
    // Once per object. Throws std::runtime_error when the data folder, the
    // certificates, the country list or the port cannot be had, and
    // std::invalid_argument for a fault in Options that setFault would refuse,
    // identity values that checkIdentityValues refuses or a minCardWidth
    // below 1.
    int start();
    // Finishes the requests in progress and closes the port; idempotent.
    void stop();

    int port() const;
    std::string baseURL() const;  // "https://127.0.0.1:<port>", without /v1/ekyc
    std::filesystem::path caFile() const;
    std::filesystem::path dataDir() const;

    // Replaces any fault for the same path; throws std::invalid_argument for
    // an unknown endpoint or a fault without effect.
    void setFault(const Fault& fault);
    void clearFaults();
    std::vector<Fault> faults() const;

    nlohmann::json requests() const;  // the request log, oldest first
    void clearRequests();
    // The latest accepted submitInfo calls (up to SessionStore::kSubmissionCapacity),
    // oldest first; submissions.jsonl in the data folder keeps every one.
    nlohmann::json submissions() const;

    // $XDG_DATA_HOME/ekyc-devserver, else ~/.local/share/ekyc-devserver.
    static std::filesystem::path defaultDataDir();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ovira::devserver
