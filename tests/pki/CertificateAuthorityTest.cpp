#include "pki/CertificateAuthority.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>
#include <tuple>

#include "support/TemporaryDirectory.h"

using namespace ovira::pki;
using namespace std::chrono_literals;

namespace {

// An OpenSSL object released by `release`.
template <class T, auto release>
using Owned = std::unique_ptr<T, std::integral_constant<decltype(release), release>>;

Owned<X509, X509_free> parse(const std::string& pem) {
    const Owned<BIO, BIO_free> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Owned<X509, X509_free> certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!certificate) throw std::runtime_error("test: not a PEM certificate");
    return certificate;
}

// OpenSSL's verdict on `leaf` for `host` (a name or an IP address) when only `trusted` is trusted, as a TLS
// client would ask for it.
int verify(const std::string& leaf, const std::string& trusted, const std::string& host) {
    const auto leafCertificate = parse(leaf), trustedCertificate = parse(trusted);
    const Owned<X509_STORE, X509_STORE_free> store(X509_STORE_new());
    const Owned<X509_STORE_CTX, X509_STORE_CTX_free> context(X509_STORE_CTX_new());
    X509_STORE_add_cert(store.get(), trustedCertificate.get());
    X509_STORE_CTX_init(context.get(), store.get(), leafCertificate.get(), nullptr);
    X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SSL_SERVER);
    X509_VERIFY_PARAM* p = X509_STORE_CTX_get0_param(context.get());
    if (!X509_VERIFY_PARAM_set1_ip_asc(p, host.c_str())) X509_VERIFY_PARAM_set1_host(p, host.c_str(), 0);
    const bool verified = X509_verify_cert(context.get()) == 1;
    const int error = X509_STORE_CTX_get_error(context.get());
    return verified || error != X509_V_OK ? error : -1;  // a failure without a reason is no success
}

// The pin recomputed from the certificate's SubjectPublicKeyInfo rather than from the key.
std::string pinOf(const std::string& certificatePem) {
    unsigned char* der = nullptr;
    const int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(parse(certificatePem).get()), &der);
    unsigned char digest[32], encoded[45];
    EVP_Digest(der, static_cast<size_t>(length), digest, nullptr, EVP_sha256(), nullptr);
    OPENSSL_free(der);
    EVP_EncodeBlock(encoded, digest, sizeof digest);
    return "sha256//" + std::string(reinterpret_cast<const char*>(encoded));
}

const CertificateAuthority& testCA() {
    static const CertificateAuthority ca = CertificateAuthority::create("Ovira Test CA");
    return ca;
}

TEST(CertificateAuthorityTest, IssuedCertificatesVerifyForTheirOwnNamesOnly) {
    const auto issued = [](CertificateOptions options) { return testCA().issue(options).certificatePem; };
    const std::string ca = testCA().certificatePem(), leaf = issued({});
    const std::string other = issued({.dnsNames = {"other.invalid"}, .ipAddresses = {}});
    const std::string injected = issued({.dnsNames = {"a.invalid,DNS:evil.invalid"}});
    const std::string expired = issued({.notBefore = -48h, .notAfter = -24h});
    const std::string selfSigned = makeSelfSigned({}).certificatePem;
    const std::string otherCA = CertificateAuthority::create("Other CA").certificatePem();
    using Row = std::tuple<std::string, std::string, std::string, int>;
    // clang-format off
    for (const auto& [certificate, trusted, host, expected] : std::vector<Row>{
             {leaf, ca, "localhost", X509_V_OK}, {leaf, ca, "127.0.0.1", X509_V_OK},
             {leaf, ca, "example.invalid", X509_V_ERR_HOSTNAME_MISMATCH},
             {leaf, ca, "127.0.0.2", X509_V_ERR_IP_ADDRESS_MISMATCH},
             {other, ca, "other.invalid", X509_V_OK}, {other, ca, "localhost", X509_V_ERR_HOSTNAME_MISMATCH},
             {injected, ca, "evil.invalid", X509_V_ERR_HOSTNAME_MISMATCH},
             {expired, ca, "localhost", X509_V_ERR_CERT_HAS_EXPIRED},
             {selfSigned, ca, "localhost", X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT},
             {selfSigned, selfSigned, "127.0.0.1", X509_V_OK},  // trusted itself, as a pinned certificate is
             {leaf, otherCA, "localhost", X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY}}) {
        // clang-format on
        const int result = verify(certificate, trusted, host);
        EXPECT_EQ(result, expected) << host << ": " << X509_verify_cert_error_string(result);
    }
    EXPECT_THROW(testCA().issue({.ipAddresses = {"not-an-ip"}}), std::runtime_error);
    EXPECT_THROW(testCA().issue({.notBefore = 1h, .notAfter = {}}), std::runtime_error);
}

TEST(CertificateAuthorityTest, FromPemRoundTripsAndRefusesAnythingButAMatchingCA) {
    const std::string certificate = testCA().certificatePem(), key = testCA().privateKeyPem();
    const CertificateAuthority loaded = CertificateAuthority::fromPem(certificate, key);
    EXPECT_EQ(loaded.certificatePem(), certificate);
    EXPECT_EQ(verify(loaded.issue({}).certificatePem, certificate, "localhost"), X509_V_OK);
    const IssuedCertificate leaf = testCA().issue({});
    using Row = std::tuple<std::string, std::string, std::string>;
    // clang-format off
    for (const auto& [certificatePem, keyPem, reason] : std::vector<Row>{
             {"not a certificate", key, "not a PEM certificate"}, {"", "", "not a PEM certificate"},
             {certificate, "not a key", "not an unencrypted"}, {key, certificate, "not a PEM certificate"},
             {certificate, CertificateAuthority::create("Other CA").privateKeyPem(), "does not match"},
             {leaf.certificatePem, leaf.privateKeyPem, "not a CA certificate"}}) {
        // clang-format on
        try {
            CertificateAuthority::fromPem(certificatePem, keyPem);
            ADD_FAILURE() << "accepted, though " << reason;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
}

TEST(CertificateAuthorityTest, PinsAreTheCurlFormOfTheCertificateKeyAndSerialsDiffer) {
    const IssuedCertificate one = testCA().issue({}), two = testCA().issue({}), self = makeSelfSigned({});
    for (const IssuedCertificate* issued : {&one, &two, &self})
        EXPECT_EQ(issued->publicKeyPin, pinOf(issued->certificatePem));
    EXPECT_NE(one.publicKeyPin, two.publicKeyPin);
    const auto a = parse(one.certificatePem), b = parse(two.certificatePem);
    EXPECT_NE(ASN1_INTEGER_cmp(X509_get0_serialNumber(a.get()), X509_get0_serialNumber(b.get())), 0);
}

TEST(PkiFileTest, WritesWithTheGivenPermissionsReadsBackAndFailsLoudly) {
    const auto privateFile = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    ovira::test::TemporaryDirectory folder;
    const auto path = folder / "a" / "b" / "key.pem";
    const std::string text = std::string("line\n") + '\0' + "binary tail";
    writeFile(path, text, privateFile);
    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(std::filesystem::status(path).permissions(), privateFile);
    EXPECT_THROW(readFile(folder / "missing.pem"), std::runtime_error);
}

}  // namespace
