#include "pki/CertificateAuthority.h"

#include <gtest/gtest.h>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

using namespace ovira::pki;

namespace {

template <auto FreeFn>
struct Deleter {
    template <typename T>
    void operator()(T* p) const noexcept { FreeFn(p); }
};

using X509Ptr = std::unique_ptr<X509, Deleter<X509_free>>;
using PKeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using StorePtr = std::unique_ptr<X509_STORE, Deleter<X509_STORE_free>>;
using StoreCtxPtr = std::unique_ptr<X509_STORE_CTX, Deleter<X509_STORE_CTX_free>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BN_free>>;
using GeneralNamesPtr = std::unique_ptr<GENERAL_NAMES, Deleter<GENERAL_NAMES_free>>;

X509Ptr parseCertificate(const std::string& pem) {
    BioPtr bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    X509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!certificate) {
        throw std::runtime_error("test: cannot parse certificate");
    }
    return certificate;
}

PKeyPtr parseKey(const std::string& pem) {
    BioPtr bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    PKeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (!key) {
        throw std::runtime_error("test: cannot parse key");
    }
    return key;
}

struct Expectation {
    std::optional<std::string> host;
    std::optional<std::string> ip;
};

Expectation forHost(const std::string& host) { return Expectation{host, std::nullopt}; }
Expectation forIp(const std::string& ip) { return Expectation{std::nullopt, ip}; }

// Runs OpenSSL's chain verification of `leafPem` against a store that trusts
// only `trustedPem`, as a TLS client would, and returns the verify result code.
int verify(const std::string& leafPem, const std::string& trustedPem, const Expectation& expect = {}) {
    X509Ptr leaf = parseCertificate(leafPem);
    X509Ptr trusted = parseCertificate(trustedPem);
    StorePtr store(X509_STORE_new());
    if (!store || X509_STORE_add_cert(store.get(), trusted.get()) != 1) {
        throw std::runtime_error("test: cannot build store");
    }
    StoreCtxPtr context(X509_STORE_CTX_new());
    if (!context || X509_STORE_CTX_init(context.get(), store.get(), leaf.get(), nullptr) != 1) {
        throw std::runtime_error("test: cannot init store context");
    }
    X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SSL_SERVER);
    X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context.get());
    if (expect.host && X509_VERIFY_PARAM_set1_host(param, expect.host->c_str(), 0) != 1) {
        throw std::runtime_error("test: cannot set host");
    }
    if (expect.ip && X509_VERIFY_PARAM_set1_ip_asc(param, expect.ip->c_str()) != 1) {
        throw std::runtime_error("test: cannot set ip");
    }
    int ok = X509_verify_cert(context.get());
    int error = X509_STORE_CTX_get_error(context.get());
    if (ok == 1 && error != X509_V_OK) {
        throw std::runtime_error("test: verifier reported success with an error code");
    }
    if (ok != 1 && error == X509_V_OK) {
        return -1;  // failed without a reason: never acceptable as success
    }
    return error;
}

std::string errorText(int code) { return X509_verify_cert_error_string(code); }

// Recomputes the pin through a different path than the library: from the
// certificate's encoded SubjectPublicKeyInfo, base64 through a BIO filter.
std::string pinFromCertificate(const std::string& certificatePem) {
    X509Ptr certificate = parseCertificate(certificatePem);
    unsigned char* der = nullptr;
    int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate.get()), &der);
    if (length <= 0) {
        throw std::runtime_error("test: cannot encode SPKI");
    }
    unsigned char digest[32];
    unsigned int digestLength = 0;
    int hashed = EVP_Digest(der, static_cast<size_t>(length), digest, &digestLength, EVP_sha256(), nullptr);
    OPENSSL_free(der);
    if (hashed != 1 || digestLength != 32) {
        throw std::runtime_error("test: cannot hash");
    }
    BioPtr chain(BIO_push(BIO_new(BIO_f_base64()), BIO_new(BIO_s_mem())));
    BIO_set_flags(chain.get(), BIO_FLAGS_BASE64_NO_NL);
    BIO_write(chain.get(), digest, static_cast<int>(digestLength));
    (void)BIO_flush(chain.get());
    char* data = nullptr;
    long size = BIO_get_mem_data(BIO_next(chain.get()), &data);
    return "sha256//" + std::string(data, static_cast<size_t>(size));
}

std::string serialHex(const std::string& certificatePem) {
    X509Ptr certificate = parseCertificate(certificatePem);
    BignumPtr bn(ASN1_INTEGER_to_BN(X509_get0_serialNumber(certificate.get()), nullptr));
    char* hex = BN_bn2hex(bn.get());
    std::string text(hex);
    OPENSSL_free(hex);
    return text;
}

bool isCritical(X509* certificate, int nid) {
    int index = X509_get_ext_by_NID(certificate, nid, -1);
    return index >= 0 && X509_EXTENSION_get_critical(X509_get_ext(certificate, index)) == 1;
}

std::string groupName(EVP_PKEY* key) {
    char name[64] = {};
    size_t length = 0;
    if (EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, name, sizeof name, &length) != 1) {
        return "";
    }
    return std::string(name, length);
}

class CertificateAuthorityTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ca_ = new CertificateAuthority(CertificateAuthority::create("Ovira Test CA"));
        leaf_ = new IssuedCertificate(ca_->issue(CertificateOptions{}));
    }
    static void TearDownTestSuite() {
        delete leaf_;
        delete ca_;
        leaf_ = nullptr;
        ca_ = nullptr;
    }
    static CertificateAuthority* ca_;
    static IssuedCertificate* leaf_;
};

CertificateAuthority* CertificateAuthorityTest::ca_ = nullptr;
IssuedCertificate* CertificateAuthorityTest::leaf_ = nullptr;

TEST_F(CertificateAuthorityTest, IssuedCertificateVerifiesForLocalhostAndLoopbackIp) {
    int byHost = verify(leaf_->certificatePem, ca_->certificatePem(), forHost("localhost"));
    EXPECT_EQ(byHost, X509_V_OK) << errorText(byHost);
    int byIp = verify(leaf_->certificatePem, ca_->certificatePem(), forIp("127.0.0.1"));
    EXPECT_EQ(byIp, X509_V_OK) << errorText(byIp);
}

TEST_F(CertificateAuthorityTest, IssuedCertificateFailsForHostNotInSubjectAltName) {
    EXPECT_EQ(verify(leaf_->certificatePem, ca_->certificatePem(), forHost("example.invalid")),
              X509_V_ERR_HOSTNAME_MISMATCH);
    EXPECT_EQ(verify(leaf_->certificatePem, ca_->certificatePem(), forIp("127.0.0.2")),
              X509_V_ERR_IP_ADDRESS_MISMATCH);
}

TEST_F(CertificateAuthorityTest, CertificateForOtherHostMatchesOnlyThatHost) {
    CertificateOptions options;
    options.commonName = "other.invalid";
    options.dnsNames = {"other.invalid"};
    options.ipAddresses = {};
    IssuedCertificate other = ca_->issue(options);

    int own = verify(other.certificatePem, ca_->certificatePem(), forHost("other.invalid"));
    EXPECT_EQ(own, X509_V_OK) << errorText(own);
    EXPECT_EQ(verify(other.certificatePem, ca_->certificatePem(), forIp("127.0.0.1")),
              X509_V_ERR_IP_ADDRESS_MISMATCH);
    EXPECT_EQ(verify(other.certificatePem, ca_->certificatePem(), forHost("localhost")),
              X509_V_ERR_HOSTNAME_MISMATCH);
}

TEST_F(CertificateAuthorityTest, ExpiredCertificateIsRejectedAsExpired) {
    CertificateOptions options;
    options.notBefore = -std::chrono::hours(48);
    options.notAfter = -std::chrono::hours(24);
    IssuedCertificate expired = ca_->issue(options);

    int result = verify(expired.certificatePem, ca_->certificatePem(), forHost("localhost"));
    EXPECT_EQ(result, X509_V_ERR_CERT_HAS_EXPIRED) << errorText(result);
}

TEST_F(CertificateAuthorityTest, SelfSignedCertificateIsRejectedByCaStore) {
    IssuedCertificate selfSigned = makeSelfSigned(CertificateOptions{});

    int result = verify(selfSigned.certificatePem, ca_->certificatePem(), forHost("localhost"));
    EXPECT_EQ(result, X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT) << errorText(result);

    // Trusted explicitly (as a pinned development certificate would be) it is valid.
    int trustedItself = verify(selfSigned.certificatePem, selfSigned.certificatePem, forIp("127.0.0.1"));
    EXPECT_EQ(trustedItself, X509_V_OK) << errorText(trustedItself);
}

TEST_F(CertificateAuthorityTest, SelfSignedCertificateCarriesServerExtensions) {
    IssuedCertificate selfSigned = makeSelfSigned(CertificateOptions{});
    X509Ptr certificate = parseCertificate(selfSigned.certificatePem);

    EXPECT_EQ(X509_NAME_cmp(X509_get_subject_name(certificate.get()), X509_get_issuer_name(certificate.get())), 0);
    EXPECT_EQ(X509_check_ca(certificate.get()), 0);
    EXPECT_NE(X509_get_extended_key_usage(certificate.get()) & XKU_SSL_SERVER, 0u);
    EXPECT_EQ(X509_get_key_usage(certificate.get()), static_cast<uint32_t>(KU_DIGITAL_SIGNATURE));
    EXPECT_TRUE(isCritical(certificate.get(), NID_key_usage));
    ASSERT_NE(X509_get0_authority_key_id(certificate.get()), nullptr);
    ASSERT_NE(X509_get0_subject_key_id(certificate.get()), nullptr);
    EXPECT_EQ(ASN1_OCTET_STRING_cmp(X509_get0_authority_key_id(certificate.get()),
                                    X509_get0_subject_key_id(certificate.get())),
              0);
    EXPECT_EQ(X509_check_host(certificate.get(), "localhost", 0, 0, nullptr), 1);
    EXPECT_EQ(X509_check_ip_asc(certificate.get(), "127.0.0.1", 0), 1);
}

TEST_F(CertificateAuthorityTest, CaCertificateHasCaExtensions) {
    X509Ptr certificate = parseCertificate(ca_->certificatePem());
    PKeyPtr key = parseKey(ca_->privateKeyPem());

    EXPECT_EQ(X509_check_ca(certificate.get()), 1);
    EXPECT_TRUE(isCritical(certificate.get(), NID_basic_constraints));
    EXPECT_TRUE(isCritical(certificate.get(), NID_key_usage));
    EXPECT_EQ(X509_get_key_usage(certificate.get()), static_cast<uint32_t>(KU_KEY_CERT_SIGN | KU_CRL_SIGN));
    EXPECT_NE(X509_get0_subject_key_id(certificate.get()), nullptr);
    EXPECT_EQ(X509_check_private_key(certificate.get(), key.get()), 1);
    EXPECT_EQ(groupName(key.get()), "prime256v1");
    EXPECT_EQ(X509_get_signature_nid(certificate.get()), NID_ecdsa_with_SHA256);

    // Valid from about an hour ago for about ten years.
    int days = 0;
    int seconds = 0;
    ASSERT_EQ(ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(certificate.get()),
                             X509_get0_notAfter(certificate.get())),
              1);
    EXPECT_GE(days, 3649);
    EXPECT_LE(days, 3651);
    ASSERT_EQ(ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(certificate.get()), nullptr), 1);
    EXPECT_EQ(days, 0);
    EXPECT_GE(seconds, 3590);
    EXPECT_LE(seconds, 3700);
}

TEST_F(CertificateAuthorityTest, IssuedCertificateHasServerExtensionsAndOwnKey) {
    X509Ptr certificate = parseCertificate(leaf_->certificatePem);
    X509Ptr caCertificate = parseCertificate(ca_->certificatePem());
    PKeyPtr key = parseKey(leaf_->privateKeyPem);

    EXPECT_EQ(X509_check_private_key(certificate.get(), key.get()), 1);
    EXPECT_EQ(groupName(key.get()), "prime256v1");
    EXPECT_EQ(X509_get_signature_nid(certificate.get()), NID_ecdsa_with_SHA256);
    EXPECT_EQ(X509_check_ca(certificate.get()), 0);
    EXPECT_NE(X509_get_extension_flags(certificate.get()) & EXFLAG_BCONS, 0u) << "basicConstraints present";
    EXPECT_NE(X509_get_extended_key_usage(certificate.get()) & XKU_SSL_SERVER, 0u);
    EXPECT_EQ(X509_get_key_usage(certificate.get()), static_cast<uint32_t>(KU_DIGITAL_SIGNATURE));
    EXPECT_TRUE(isCritical(certificate.get(), NID_key_usage));
    ASSERT_NE(X509_get0_authority_key_id(certificate.get()), nullptr);
    EXPECT_EQ(ASN1_OCTET_STRING_cmp(X509_get0_authority_key_id(certificate.get()),
                                    X509_get0_subject_key_id(caCertificate.get())),
              0);
    EXPECT_EQ(X509_NAME_cmp(X509_get_issuer_name(certificate.get()), X509_get_subject_name(caCertificate.get())), 0);

    GeneralNamesPtr names(static_cast<GENERAL_NAMES*>(
        X509_get_ext_d2i(certificate.get(), NID_subject_alt_name, nullptr, nullptr)));
    ASSERT_TRUE(names);
    EXPECT_EQ(sk_GENERAL_NAME_num(names.get()), 2);
}

TEST_F(CertificateAuthorityTest, SubjectAltNameEntriesCannotBeInjectedThroughNames) {
    CertificateOptions options;
    options.dnsNames = {"a.invalid,DNS:evil.invalid"};
    options.ipAddresses = {};
    IssuedCertificate certificate = ca_->issue(options);
    EXPECT_EQ(verify(certificate.certificatePem, ca_->certificatePem(), forHost("evil.invalid")),
              X509_V_ERR_HOSTNAME_MISMATCH);
}

TEST_F(CertificateAuthorityTest, InvalidOptionsAreRejected) {
    CertificateOptions badIp;
    badIp.ipAddresses = {"not-an-ip"};
    EXPECT_THROW(ca_->issue(badIp), std::runtime_error);

    CertificateOptions backwards;
    backwards.notBefore = std::chrono::hours(1);
    backwards.notAfter = std::chrono::hours(-1);
    EXPECT_THROW(ca_->issue(backwards), std::runtime_error);
}

TEST_F(CertificateAuthorityTest, Ipv6AddressIsSupported) {
    CertificateOptions options;
    options.ipAddresses = {"::1"};
    IssuedCertificate certificate = ca_->issue(options);
    int result = verify(certificate.certificatePem, ca_->certificatePem(), forIp("::1"));
    EXPECT_EQ(result, X509_V_OK) << errorText(result);
}

TEST_F(CertificateAuthorityTest, FromPemRoundTripsAndLoadedCaIssuesVerifiableCertificates) {
    CertificateAuthority loaded = CertificateAuthority::fromPem(ca_->certificatePem(), ca_->privateKeyPem());
    EXPECT_EQ(loaded.certificatePem(), ca_->certificatePem());

    IssuedCertificate issued = loaded.issue(CertificateOptions{});
    int result = verify(issued.certificatePem, ca_->certificatePem(), forHost("localhost"));
    EXPECT_EQ(result, X509_V_OK) << errorText(result);
}

TEST_F(CertificateAuthorityTest, FromPemRejectsGarbage) {
    EXPECT_THROW(CertificateAuthority::fromPem("not a certificate", ca_->privateKeyPem()), std::runtime_error);
    EXPECT_THROW(CertificateAuthority::fromPem(ca_->certificatePem(), "not a key"), std::runtime_error);
    EXPECT_THROW(CertificateAuthority::fromPem("", ""), std::runtime_error);
    // Well-formed PEM of the wrong kind.
    EXPECT_THROW(CertificateAuthority::fromPem(ca_->privateKeyPem(), ca_->certificatePem()), std::runtime_error);
    try {
        CertificateAuthority::fromPem("garbage", ca_->privateKeyPem());
        FAIL() << "expected an exception";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("certificate"), std::string::npos) << error.what();
    }
}

TEST_F(CertificateAuthorityTest, FromPemRejectsMismatchedKey) {
    CertificateAuthority otherCa = CertificateAuthority::create("Other CA");
    try {
        CertificateAuthority::fromPem(ca_->certificatePem(), otherCa.privateKeyPem());
        FAIL() << "expected an exception";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("does not match"), std::string::npos) << error.what();
    }
}

TEST_F(CertificateAuthorityTest, FromPemRejectsServerCertificateAsCa) {
    EXPECT_THROW(CertificateAuthority::fromPem(leaf_->certificatePem, leaf_->privateKeyPem), std::runtime_error);
}

TEST_F(CertificateAuthorityTest, OtherCaDoesNotVouchForIssuedCertificate) {
    CertificateAuthority otherCa = CertificateAuthority::create("Other CA");
    int result = verify(leaf_->certificatePem, otherCa.certificatePem(), forHost("localhost"));
    EXPECT_EQ(result, X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY) << errorText(result);
}

TEST_F(CertificateAuthorityTest, PublicKeyPinHasCurlFormAndMatchesCertificateKey) {
    const std::string prefix = "sha256//";
    ASSERT_EQ(leaf_->publicKeyPin.rfind(prefix, 0), 0u) << leaf_->publicKeyPin;
    std::string encoded = leaf_->publicKeyPin.substr(prefix.size());
    EXPECT_EQ(encoded.size(), 44u);
    EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(leaf_->publicKeyPin, pinFromCertificate(leaf_->certificatePem));

    IssuedCertificate second = ca_->issue(CertificateOptions{});
    EXPECT_NE(second.publicKeyPin, leaf_->publicKeyPin);
    EXPECT_EQ(second.publicKeyPin, pinFromCertificate(second.certificatePem));

    IssuedCertificate selfSigned = makeSelfSigned(CertificateOptions{});
    EXPECT_EQ(selfSigned.publicKeyPin, pinFromCertificate(selfSigned.certificatePem));
}

TEST_F(CertificateAuthorityTest, SerialNumbersAreRandomPositiveAndDistinct) {
    IssuedCertificate second = ca_->issue(CertificateOptions{});
    EXPECT_NE(serialHex(leaf_->certificatePem), serialHex(second.certificatePem));

    X509Ptr certificate = parseCertificate(leaf_->certificatePem);
    BignumPtr serial(ASN1_INTEGER_to_BN(X509_get0_serialNumber(certificate.get()), nullptr));
    ASSERT_TRUE(serial);
    EXPECT_FALSE(BN_is_negative(serial.get()));
    EXPECT_FALSE(BN_is_zero(serial.get()));
    EXPECT_LE(BN_num_bits(serial.get()), 128);
    // Fewer than 64 significant bits out of 128 random ones has odds of 2^-64.
    EXPECT_GT(BN_num_bits(serial.get()), 64);
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pki-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::filesystem::path root_;
};

TEST_F(FileTest, WriteFileCreatesFoldersWithPermissionsAndReadFileReturnsContent) {
    auto path = root_ / "a" / "b" / "key.pem";
    std::string text = std::string("line one\nline two\n") + '\0' + "binary tail";
    writeFile(path, text, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    EXPECT_EQ(readFile(path), text);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Overwriting replaces content and applies the new permissions.
    writeFile(path, "short", std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                 std::filesystem::perms::others_read);
    EXPECT_EQ(readFile(path), "short");
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);

    // No temporary files are left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path.parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(FileTest, PemWrittenToDiskLoadsBackAsCa) {
    CertificateAuthority ca = CertificateAuthority::create("Disk CA");
    writeFile(root_ / "ca.pem", ca.certificatePem(), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_write);
    writeFile(root_ / "ca.key", ca.privateKeyPem(), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_write);
    CertificateAuthority loaded =
        CertificateAuthority::fromPem(readFile(root_ / "ca.pem"), readFile(root_ / "ca.key"));
    IssuedCertificate issued = loaded.issue(CertificateOptions{});
    EXPECT_EQ(verify(issued.certificatePem, ca.certificatePem(), forHost("localhost")), X509_V_OK);
}

TEST_F(FileTest, ReadFileThrowsWhenUnreadable) {
    EXPECT_THROW(readFile(root_ / "missing.pem"), std::runtime_error);
    EXPECT_THROW(readFile(root_), std::runtime_error);
}

TEST_F(FileTest, WriteFileThrowsWhenFolderCannotBeCreated) {
    auto blocker = root_ / "file";
    writeFile(blocker, "x", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_THROW(writeFile(blocker / "child.pem", "y", std::filesystem::perms::owner_read), std::runtime_error);
}

}  // namespace
