#include "pki/CertificateAuthority.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace ovira::pki {
namespace {

template <auto FreeFn>
struct Deleter {
    template <typename T>
    void operator()(T* p) const noexcept {
        FreeFn(p);
    }
};

using PKeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using ExtensionPtr = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION_free>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BN_free>>;
using NamePtr = std::unique_ptr<X509_NAME, Deleter<X509_NAME_free>>;
using GeneralNamesPtr = std::unique_ptr<GENERAL_NAMES, Deleter<GENERAL_NAMES_free>>;
using GeneralNamePtr = std::unique_ptr<GENERAL_NAME, Deleter<GENERAL_NAME_free>>;
using OctetStringPtr = std::unique_ptr<ASN1_OCTET_STRING, Deleter<ASN1_OCTET_STRING_free>>;
using Ia5StringPtr = std::unique_ptr<ASN1_IA5STRING, Deleter<ASN1_IA5STRING_free>>;

// Drains the whole OpenSSL error queue so that a later, unrelated failure is
// not reported with stale errors.
std::string takeOpenSslErrors() {
    std::string text;
    while (unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty()) {
            text += "; ";
        }
        text += buffer;
    }
    return text.empty() ? "no OpenSSL error reported" : text;
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("pki: " + what + ": " + takeOpenSslErrors());
}

[[noreturn]] void failInput(const std::string& what) {
    ERR_clear_error();
    throw std::runtime_error("pki: " + what);
}

void check(int result, const char* what) {
    if (result <= 0) {
        fail(what);
    }
}

PKeyPtr generateP256Key() {
    PKeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!key) {
        fail("generating EC P-256 key");
    }
    return key;
}

std::string bioToString(BIO* bio) {
    char* data = nullptr;
    long length = BIO_get_mem_data(bio, &data);
    if (length < 0 || (length > 0 && data == nullptr)) {
        fail("reading memory BIO");
    }
    return std::string(data, static_cast<std::size_t>(length));
}

BioPtr newMemoryBio() {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio) {
        fail("allocating memory BIO");
    }
    return bio;
}

BioPtr readOnlyBio(const std::string& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        failInput("PEM text too large");
    }
    BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (!bio) {
        fail("allocating memory BIO");
    }
    return bio;
}

std::string certificateToPem(X509* certificate) {
    BioPtr bio = newMemoryBio();
    check(PEM_write_bio_X509(bio.get(), certificate), "encoding certificate as PEM");
    return bioToString(bio.get());
}

// PKCS#8, unencrypted: the files are protected by their permissions instead.
std::string privateKeyToPem(EVP_PKEY* key) {
    BioPtr bio = newMemoryBio();
    check(PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr),
          "encoding private key as PEM");
    return bioToString(bio.get());
}

X509Ptr certificateFromPem(const std::string& pem) {
    BioPtr bio = readOnlyBio(pem);
    X509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!certificate) {
        fail("text is not a PEM certificate");
    }
    return certificate;
}

PKeyPtr privateKeyFromPem(const std::string& pem) {
    BioPtr bio = readOnlyBio(pem);
    // An empty passphrase callback result makes encrypted keys fail instead of
    // prompting on the terminal.
    auto noPassphrase = [](char*, int, int, void*) -> int { return 0; };
    PKeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassphrase, nullptr));
    if (!key) {
        fail("text is not an unencrypted PEM private key");
    }
    return key;
}

std::string publicKeyPin(EVP_PKEY* key) {
    unsigned char* der = nullptr;
    int derLength = i2d_PUBKEY(key, &der);
    if (derLength <= 0) {
        fail("encoding SubjectPublicKeyInfo");
    }
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> derOwner(
        der, [](unsigned char* p) { OPENSSL_free(p); });

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    check(EVP_Digest(der, static_cast<std::size_t>(derLength), digest, &digestLength, EVP_sha256(), nullptr),
          "hashing SubjectPublicKeyInfo");

    // Base64 output is 4 chars per 3 input bytes, plus a terminating NUL.
    unsigned char encoded[4 * ((EVP_MAX_MD_SIZE + 2) / 3) + 1];
    int encodedLength = EVP_EncodeBlock(encoded, digest, static_cast<int>(digestLength));
    return "sha256//" +
           std::string(reinterpret_cast<char*>(encoded), static_cast<std::size_t>(encodedLength));
}

void setRandomSerial(X509* certificate) {
    unsigned char bytes[16];
    BignumPtr serial;
    // A zero serial is invalid; retrying is practically never needed.
    do {
        check(RAND_bytes(bytes, sizeof bytes), "generating serial number");
        serial.reset(BN_bin2bn(bytes, sizeof bytes, nullptr));
        if (!serial) {
            fail("converting serial number");
        }
    } while (BN_is_zero(serial.get()));
    if (!BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate))) {
        fail("setting serial number");
    }
}

void setValidity(X509* certificate, std::chrono::seconds notBefore, std::chrono::seconds notAfter) {
    if (notAfter <= notBefore) {
        failInput("notAfter must lie after notBefore");
    }
    if (!X509_gmtime_adj(X509_getm_notBefore(certificate), static_cast<long>(notBefore.count()))) {
        fail("setting notBefore");
    }
    if (!X509_gmtime_adj(X509_getm_notAfter(certificate), static_cast<long>(notAfter.count()))) {
        fail("setting notAfter");
    }
}

NamePtr commonNameOnly(const std::string& commonName) {
    if (commonName.empty()) {
        failInput("common name must not be empty");
    }
    NamePtr name(X509_NAME_new());
    if (!name) {
        fail("allocating name");
    }
    check(X509_NAME_add_entry_by_txt(name.get(), "CN", MBSTRING_UTF8,
                                     reinterpret_cast<const unsigned char*>(commonName.data()),
                                     static_cast<int>(commonName.size()), -1, 0),
          "setting common name");
    return name;
}

// Starts a v3 certificate for `key`; issuer and signature are left to the caller.
X509Ptr newCertificate(EVP_PKEY* key, const std::string& commonName, std::chrono::seconds notBefore,
                       std::chrono::seconds notAfter) {
    NamePtr subject = commonNameOnly(commonName);
    X509Ptr certificate(X509_new());
    if (!certificate) {
        fail("allocating certificate");
    }
    check(X509_set_version(certificate.get(), X509_VERSION_3), "setting certificate version");
    setRandomSerial(certificate.get());
    setValidity(certificate.get(), notBefore, notAfter);
    check(X509_set_subject_name(certificate.get(), subject.get()), "setting subject");
    check(X509_set_pubkey(certificate.get(), key), "setting public key");
    return certificate;
}

// Extensions with fixed values go through OpenSSL's config syntax; it also
// computes the key identifiers from the context's certificates.
void addExtension(X509* certificate, X509V3_CTX* context, int nid, const char* value) {
    ExtensionPtr extension(X509V3_EXT_nconf_nid(nullptr, context, nid, value));
    if (!extension) {
        fail(std::string("building extension ") + OBJ_nid2sn(nid) + "=" + value);
    }
    check(X509_add_ext(certificate, extension.get(), -1), "adding extension");
}

// The alternative names are built as objects rather than config text so that
// a name containing ',' or ':' cannot smuggle in extra entries.
void addSubjectAltName(X509* certificate, const CertificateOptions& options) {
    if (options.dnsNames.empty() && options.ipAddresses.empty()) {
        return;
    }
    GeneralNamesPtr names(sk_GENERAL_NAME_new_null());
    if (!names) {
        fail("allocating subjectAltName");
    }
    for (const std::string& dns : options.dnsNames) {
        if (dns.empty()) {
            failInput("DNS name must not be empty");
        }
        Ia5StringPtr text(ASN1_IA5STRING_new());
        if (!text || !ASN1_STRING_set(text.get(), dns.data(), static_cast<int>(dns.size()))) {
            fail("encoding DNS name " + dns);
        }
        GeneralNamePtr name(GENERAL_NAME_new());
        if (!name) {
            fail("allocating general name");
        }
        GENERAL_NAME_set0_value(name.get(), GEN_DNS, text.release());
        if (!sk_GENERAL_NAME_push(names.get(), name.get())) {
            fail("adding DNS name");
        }
        name.release();
    }
    for (const std::string& ip : options.ipAddresses) {
        OctetStringPtr address(a2i_IPADDRESS(ip.c_str()));
        if (!address) {
            failInput("not an IP address: \"" + ip + "\"");
        }
        GeneralNamePtr name(GENERAL_NAME_new());
        if (!name) {
            fail("allocating general name");
        }
        GENERAL_NAME_set0_value(name.get(), GEN_IPADD, address.release());
        if (!sk_GENERAL_NAME_push(names.get(), name.get())) {
            fail("adding IP address");
        }
        name.release();
    }
    check(X509_add1_ext_i2d(certificate, NID_subject_alt_name, names.get(), 0, X509V3_ADD_DEFAULT),
          "adding subjectAltName");
}

// Extensions shared by CA-issued and self-signed server certificates.
// `issuer` may be `certificate` itself for a self-signed one.
void addServerExtensions(X509* certificate, X509* issuer, const CertificateOptions& options) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);

    addExtension(certificate, &context, NID_basic_constraints, "CA:FALSE");
    addExtension(certificate, &context, NID_key_usage, "critical,digitalSignature");
    addExtension(certificate, &context, NID_ext_key_usage, "serverAuth");
    addExtension(certificate, &context, NID_subject_key_identifier, "hash");
    // A CA loaded from elsewhere may lack a subject key identifier; name it by
    // issuer and serial then. "always" keeps the identifier on self-signed
    // certificates. The extension list is searched directly because the cached
    // X509_get0_subject_key_id() does not see the one just added above.
    bool issuerHasKeyId = X509_get_ext_by_NID(issuer, NID_subject_key_identifier, -1) >= 0;
    const char* akid = issuerHasKeyId ? "keyid:always" : "issuer:always";
    addExtension(certificate, &context, NID_authority_key_identifier, akid);
    addSubjectAltName(certificate, options);
}

void sign(X509* certificate, EVP_PKEY* key) {
    if (X509_sign(certificate, key, EVP_sha256()) <= 0) {
        fail("signing certificate");
    }
}

}  // namespace

CertificateAuthority::CertificateAuthority(std::string certificatePem, std::string privateKeyPem)
    : certificatePem_(std::move(certificatePem)), privateKeyPem_(std::move(privateKeyPem)) {}

CertificateAuthority CertificateAuthority::create(const std::string& commonName) {
    PKeyPtr key = generateP256Key();
    X509Ptr certificate =
        newCertificate(key.get(), commonName, std::chrono::hours(-1), std::chrono::hours(24 * 3650));
    check(X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get())),
          "setting issuer");

    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate.get(), certificate.get(), nullptr, nullptr, 0);
    addExtension(certificate.get(), &context, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(certificate.get(), &context, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(certificate.get(), &context, NID_subject_key_identifier, "hash");

    sign(certificate.get(), key.get());
    return CertificateAuthority(certificateToPem(certificate.get()), privateKeyToPem(key.get()));
}

CertificateAuthority CertificateAuthority::fromPem(const std::string& certificatePem,
                                                   const std::string& privateKeyPem) {
    X509Ptr certificate = certificateFromPem(certificatePem);
    PKeyPtr key = privateKeyFromPem(privateKeyPem);
    if (EVP_PKEY_eq(X509_get0_pubkey(certificate.get()), key.get()) != 1) {
        failInput("private key does not match the CA certificate");
    }
    // Certificates issued by a non-CA certificate would never verify; refuse
    // early instead of producing them.
    if (X509_check_ca(certificate.get()) == 0) {
        failInput("certificate is not a CA certificate");
    }
    // Re-encode so the stored text holds exactly one certificate and one key.
    return CertificateAuthority(certificateToPem(certificate.get()), privateKeyToPem(key.get()));
}

const std::string& CertificateAuthority::certificatePem() const {
    return certificatePem_;
}

const std::string& CertificateAuthority::privateKeyPem() const {
    return privateKeyPem_;
}

IssuedCertificate CertificateAuthority::issue(const CertificateOptions& options) const {
    X509Ptr caCertificate = certificateFromPem(certificatePem_);
    PKeyPtr caKey = privateKeyFromPem(privateKeyPem_);

    PKeyPtr key = generateP256Key();
    X509Ptr certificate = newCertificate(key.get(), options.commonName, options.notBefore, options.notAfter);
    check(X509_set_issuer_name(certificate.get(), X509_get_subject_name(caCertificate.get())),
          "setting issuer");
    addServerExtensions(certificate.get(), caCertificate.get(), options);
    sign(certificate.get(), caKey.get());

    return {certificateToPem(certificate.get()), privateKeyToPem(key.get()), publicKeyPin(key.get())};
}

IssuedCertificate makeSelfSigned(const CertificateOptions& options) {
    PKeyPtr key = generateP256Key();
    X509Ptr certificate = newCertificate(key.get(), options.commonName, options.notBefore, options.notAfter);
    check(X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get())),
          "setting issuer");
    addServerExtensions(certificate.get(), certificate.get(), options);
    sign(certificate.get(), key.get());

    return {certificateToPem(certificate.get()), privateKeyToPem(key.get()), publicKeyPin(key.get())};
}

std::string publicKeyPinOf(const std::string& certificatePem) {
    const X509Ptr certificate = certificateFromPem(certificatePem);
    return publicKeyPin(X509_get0_pubkey(certificate.get()));
}

void writeFile(const std::filesystem::path& path, const std::string& text,
               std::filesystem::perms permissions) {
    auto failWrite = [&](const std::string& what, int error) {
        throw std::runtime_error("pki: " + what + " " + path.string() + ": " + std::strerror(error));
    };

    std::error_code ec;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec) {
            throw std::runtime_error("pki: cannot create folder " + path.parent_path().string() + ": " +
                                     ec.message());
        }
    }

    // Write a private temporary (mkstemp creates it 0600) and rename it into
    // place: a key is never readable by others, not even briefly, and readers
    // never see a half-written file.
    std::string temporary = path.string() + ".tmp-XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        failWrite("cannot create temporary file for", errno);
    }
    auto abandon = [&](const std::string& what) {
        int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        failWrite(what, error);
    };

    const char* data = text.data();
    std::size_t remaining = text.size();
    while (remaining > 0) {
        ssize_t written = ::write(fd, data, remaining);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon("cannot write");
        }
        data += written;
        remaining -= static_cast<std::size_t>(written);
    }
    if (::fchmod(fd, static_cast<mode_t>(permissions & std::filesystem::perms::mask)) != 0) {
        abandon("cannot set permissions of");
    }
    if (::fsync(fd) != 0) {
        abandon("cannot flush");
    }
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        failWrite("cannot close", error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        failWrite("cannot rename temporary file to", error);
    }
}

std::string readFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw std::runtime_error("pki: cannot read " + path.string() + ": is a directory");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("pki: cannot open " + path.string() + ": " + std::strerror(errno));
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw std::runtime_error("pki: cannot read " + path.string());
    }
    return content.str();
}

}  // namespace ovira::pki
