#include "support/TlsTestServer.h"

#include <stdexcept>

namespace ovira::test {

const pki::CertificateAuthority& TestPKI::authority() {
    static const auto ca = pki::CertificateAuthority::create("OVIRA Test CA");
    return ca;
}

const std::string& TestPKI::caFile() {
    static TemporaryDirectory directory;
    static const std::string file = [] {
        const auto path = directory / "ca.pem";
        pki::writeFile(path, authority().certificatePem(),
                       std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        return path.string();
    }();
    return file;
}

const pki::IssuedCertificate& TestPKI::localhost() {
    static const auto certificate = authority().issue(pki::CertificateOptions{});
    return certificate;
}

TlsTestServer::TlsTestServer(const Setup& setup, const pki::IssuedCertificate& certificate) {
    const auto owner = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    const auto certFile = directory_ / "server.pem";
    const auto keyFile = directory_ / "server.key";
    pki::writeFile(certFile, certificate.certificatePem, owner);
    pki::writeFile(keyFile, certificate.privateKeyPem, owner);
    server_ = std::make_unique<httplib::SSLServer>(certFile.c_str(), keyFile.c_str());
    if (!server_->is_valid())
        throw std::runtime_error("the test HTTPS server could not load its certificate");
    // Idle keep-alive connections hold the server's shutdown for this long.
    server_->set_keep_alive_timeout(1);
    server_->set_keep_alive_max_count(1000);
    setup(*server_);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("the test HTTPS server could not bind");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is ignored until the server runs; wait so that it cannot be missed.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TlsTestServer::~TlsTestServer() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::string TlsTestServer::baseURL() const {
    return "https://127.0.0.1:" + std::to_string(port_);
}

}  // namespace ovira::test
