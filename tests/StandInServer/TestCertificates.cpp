#include "tests/StandInServer/TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace StandIn {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using CertificatePtr = std::unique_ptr<X509, CertificateDeleter>;

// Throws when a step of the generation failed.
void Require(bool condition, const char* what)
{
    if (!condition)
        throw std::runtime_error(std::string("test certificates: ") + what);
}

// A new P-256 key.
KeyPtr MakeKey()
{
    KeyPtr key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "key generation failed");
    return key;
}

// Adds one extension written in OpenSSL's configuration syntax.
void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Require(extension != nullptr, "bad extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

// A certificate for the subject's key, without extensions, not yet signed.
CertificatePtr MakeCertificate(EVP_PKEY* subjectKey, const char* commonName, X509* issuer)
{
    CertificatePtr certificate(X509_new());
    Require(certificate != nullptr, "X509_new failed");
    X509_set_version(certificate.get(), 2);
    uint64_t serial = 0;
    Require(RAND_bytes(reinterpret_cast<unsigned char*>(&serial), sizeof serial) == 1, "RAND_bytes failed");
    ASN1_INTEGER_set_uint64(X509_get_serialNumber(certificate.get()), serial >> 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 2L * 24 * 3600);
    X509_set_pubkey(certificate.get(), subjectKey);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Quorvel tests"), -1,
                               -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1,
                               0);
    X509_set_issuer_name(certificate.get(), issuer ? X509_get_subject_name(issuer) : name);
    return certificate;
}

// Writes a certificate as PEM.
void WriteCertificate(const std::string& path, X509* certificate)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
    Require(file && PEM_write_X509(file.get(), certificate) == 1, "cannot write a certificate");
}

// Writes a private key as unencrypted PEM.
void WriteKey(const std::string& path, EVP_PKEY* key)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
    Require(file && PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "cannot write a key");
}

}  // namespace

// Makes the CA, then the server certificate for the given names.
TestCertificates::TestCertificates(const std::vector<std::string>& dnsNames,
                                   const std::vector<std::string>& ipAddresses)
{
    char pattern[] = "/tmp/cvkca.XXXXXX";
    Require(mkdtemp(pattern) != nullptr, "mkdtemp failed");
    mstrFolder = pattern;
    mstrCaFile = mstrFolder + "/ca.pem";
    mstrCertificateFile = mstrFolder + "/server.pem";
    mstrKeyFile = mstrFolder + "/server-key.pem";

    KeyPtr caKey = MakeKey();
    CertificatePtr ca = MakeCertificate(caKey.get(), "Quorvel test CA", nullptr);
    AddExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash");
    Require(X509_sign(ca.get(), caKey.get(), EVP_sha256()) > 0, "signing the CA failed");

    std::string alternativeNames;
    for (const std::string& dns : dnsNames)
        alternativeNames += (alternativeNames.empty() ? "DNS:" : ",DNS:") + dns;
    for (const std::string& ip : ipAddresses)
        alternativeNames += (alternativeNames.empty() ? "IP:" : ",IP:") + ip;
    KeyPtr serverKey = MakeKey();
    std::string commonName = dnsNames.empty() ? std::string("stand-in") : dnsNames.front();
    CertificatePtr server = MakeCertificate(serverKey.get(), commonName.c_str(), ca.get());
    AddExtension(server.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(server.get(), ca.get(), NID_key_usage, "critical,digitalSignature");
    AddExtension(server.get(), ca.get(), NID_ext_key_usage, "serverAuth");
    AddExtension(server.get(), ca.get(), NID_authority_key_identifier, "keyid:always");
    if (!alternativeNames.empty())
        AddExtension(server.get(), ca.get(), NID_subject_alt_name, alternativeNames);
    Require(X509_sign(server.get(), caKey.get(), EVP_sha256()) > 0, "signing the server certificate failed");

    WriteCertificate(mstrCaFile, ca.get());
    WriteCertificate(mstrCertificateFile, server.get());
    WriteKey(mstrKeyFile, serverKey.get());
}

// Removes the folder with the files.
TestCertificates::~TestCertificates()
{
    std::error_code ignored;
    std::filesystem::remove_all(mstrFolder, ignored);
}

// The loopback set, made on first use.
const TestCertificates& TestCertificates::Loopback()
{
    static const TestCertificates certificates;
    return certificates;
}

}  // namespace StandIn
