#include "Certificates.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <stdexcept>

#include "pki/CertificateAuthority.h"

namespace ovira::devserver {
namespace {

namespace fs = std::filesystem;
constexpr auto kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto kReadable = kOwnerOnly | fs::perms::group_read | fs::perms::others_read;

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

std::unique_ptr<X509, X509Free> readCertificate(const std::string& pem) {
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio) return nullptr;
    return std::unique_ptr<X509, X509Free>(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

std::unique_ptr<EVP_PKEY, KeyFree> readKey(const std::string& pem) {
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio) return nullptr;
    return std::unique_ptr<EVP_PKEY, KeyFree>(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
}

// Whether the server certificate and key on disk can still be served.
bool serverCertificateUsable(const CertificateFiles& files, const pki::CertificateAuthority& authority) {
    if (!fs::exists(files.serverCertificate) || !fs::exists(files.serverKey)) return false;
    try {
        const auto certificate = readCertificate(pki::readFile(files.serverCertificate));
        const auto key = readKey(pki::readFile(files.serverKey));
        const auto ca = readCertificate(authority.certificatePem());
        if (!certificate || !key || !ca) return false;
        EVP_PKEY* caKey = X509_get0_pubkey(ca.get());
        std::time_t tomorrow = std::time(nullptr) + 24 * 3600;
        const bool fresh = X509_cmp_time(X509_get0_notAfter(certificate.get()), &tomorrow) > 0;
        const bool signedByCA = caKey && X509_verify(certificate.get(), caKey) == 1;
        const bool matchesKey = X509_check_private_key(certificate.get(), key.get()) == 1;
        return fresh && signedByCA && matchesKey;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

CertificateFiles ensureCertificates(const fs::path& folder) {
    CertificateFiles files{folder / "ca.pem", folder / "server.pem", folder / "server.key"};
    const auto caKeyFile = folder / "ca.key";
    fs::create_directories(folder);

    std::optional<pki::CertificateAuthority> authority;
    if (fs::exists(files.caCertificate) || fs::exists(caKeyFile)) {
        try {
            authority = pki::CertificateAuthority::fromPem(pki::readFile(files.caCertificate),
                                                           pki::readFile(caKeyFile));
        } catch (const std::exception& error) {
            throw std::runtime_error("the development CA in " + folder.string() + " cannot be used (" +
                                     error.what() + "); delete ca.pem and ca.key there to make a new one");
        }
    } else {
        authority = pki::CertificateAuthority::create("OVIRA eKYC Development CA");
        // The key first: a CA certificate without its key would block every later start.
        pki::writeFile(caKeyFile, authority->privateKeyPem(), kOwnerOnly);
        pki::writeFile(files.caCertificate, authority->certificatePem(), kReadable);
        files.createdAuthority = true;
    }

    if (!serverCertificateUsable(files, *authority)) {
        const auto issued = authority->issue(pki::CertificateOptions{});
        pki::writeFile(files.serverKey, issued.privateKeyPem, kOwnerOnly);
        pki::writeFile(files.serverCertificate, issued.certificatePem, kReadable);
        files.issuedServerCertificate = true;
    }
    ERR_clear_error();
    return files;
}

}  // namespace ovira::devserver
