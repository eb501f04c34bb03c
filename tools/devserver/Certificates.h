#pragma once

#include <filesystem>

namespace ovira::devserver {

struct CertificateFiles {
    std::filesystem::path caCertificate;  // what clients are told to trust
    std::filesystem::path serverCertificate;
    std::filesystem::path serverKey;
    bool createdAuthority = false;
    bool issuedServerCertificate = false;
};

// Makes sure `folder` holds a CA and a server certificate for 127.0.0.1 and
// localhost that it signed. The CA is made once and kept, so that a developer
// trusts it once; the server certificate is issued again when it is missing,
// unreadable, expiring within a day or not signed by that CA. Keys are 0600.
// Throws std::runtime_error when the files cannot be written or the CA files
// are damaged (with a hint to delete them).
CertificateFiles ensureCertificates(const std::filesystem::path& folder);

}  // namespace ovira::devserver
