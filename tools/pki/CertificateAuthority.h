#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ovira::pki {

// A certificate and its private key, both PEM.
struct IssuedCertificate {
    std::string certificatePem;
    std::string privateKeyPem;
    // "sha256//" followed by the base64 of the SHA-256 of the DER SubjectPublicKeyInfo:
    // the form libcurl's CURLOPT_PINNEDPUBLICKEY takes.
    std::string publicKeyPin;
};

struct CertificateOptions {
    std::string commonName = "localhost";
    std::vector<std::string> dnsNames{"localhost"};
    std::vector<std::string> ipAddresses{"127.0.0.1"};
    // Validity relative to now; negative values lie in the past (an expired
    // certificate has both offsets negative).
    std::chrono::seconds notBefore{-3600};
    std::chrono::seconds notAfter{std::chrono::hours(24 * 825)};
};

class CertificateAuthority {
public:
    // A fresh CA: new EC P-256 key, self-signed, basicConstraints CA:TRUE (critical),
    // keyUsage keyCertSign+cRLSign (critical), subject key identifier, valid from
    // one hour ago for ten years.
    static CertificateAuthority create(const std::string& commonName);
    // Loads a CA from PEM text; throws std::runtime_error with a clear message
    // when the text is not a certificate/key or the key does not match.
    static CertificateAuthority fromPem(const std::string& certificatePem, const std::string& privateKeyPem);

    const std::string& certificatePem() const;
    const std::string& privateKeyPem() const;

    // A TLS server certificate signed by this CA: new EC P-256 key, random
    // 128-bit positive serial, subjectAltName from dnsNames and ipAddresses,
    // extendedKeyUsage serverAuth, keyUsage digitalSignature (critical),
    // basicConstraints CA:FALSE, authority key identifier. SHA-256 signature.
    IssuedCertificate issue(const CertificateOptions& options) const;

private:
    CertificateAuthority(std::string certificatePem, std::string privateKeyPem);
    std::string certificatePem_;
    std::string privateKeyPem_;
};

// A self-signed server certificate (no CA behind it) with the same extensions as issue().
IssuedCertificate makeSelfSigned(const CertificateOptions& options);

// The pin ("sha256//<base64>") of the public key in a PEM certificate; throws
// std::runtime_error when the text is not a certificate.
std::string publicKeyPinOf(const std::string& certificatePem);

// Writes text to a file with the given permission bits (0600 for keys),
// creating parent folders; throws std::runtime_error on failure.
void writeFile(const std::filesystem::path& path, const std::string& text,
               std::filesystem::perms permissions);
std::string readFile(const std::filesystem::path& path);  // throws std::runtime_error when unreadable
}  // namespace ovira::pki
