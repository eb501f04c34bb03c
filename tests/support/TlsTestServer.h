#pragma once

#include <httplib.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "pki/CertificateAuthority.h"
#include "support/TemporaryDirectory.h"

namespace ovira::test {

// A CA made once per test process, its certificate in a file the client can
// be told to trust, and a certificate for 127.0.0.1/localhost it signed.
struct TestPKI {
    static const pki::CertificateAuthority& authority();
    static const std::string& caFile();
    static const pki::IssuedCertificate& localhost();
};

// A real HTTPS server on 127.0.0.1 (a free port), serving the routes that
// `setup` registers, until it is destroyed.
class TlsTestServer {
public:
    using Setup = std::function<void(httplib::Server&)>;

    explicit TlsTestServer(const Setup& setup,
                           const pki::IssuedCertificate& certificate = TestPKI::localhost());
    ~TlsTestServer();
    TlsTestServer(const TlsTestServer&) = delete;
    TlsTestServer& operator=(const TlsTestServer&) = delete;

    int port() const { return port_; }
    // "https://127.0.0.1:<port>"
    std::string baseURL() const;

private:
    TemporaryDirectory directory_;
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace ovira::test
