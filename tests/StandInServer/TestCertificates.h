#pragma once

#include <string>
#include <vector>

namespace StandIn {

// A private certificate authority and a server certificate it signed, made
// afresh (EC P-256, SHA-256, valid from an hour ago for two days) and written
// as PEM files into a private folder under /tmp that goes with the object.
class TestCertificates {
public:
    // The server certificate names these host names and IP addresses.
    explicit TestCertificates(const std::vector<std::string>& dnsNames = {"localhost"},
                              const std::vector<std::string>& ipAddresses = {"127.0.0.1"});
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // The CA's certificate: the bundle a client trusts.
    const std::string& CaFile() const { return mstrCaFile; }
    const std::string& CertificateFile() const { return mstrCertificateFile; }
    const std::string& KeyFile() const { return mstrKeyFile; }

    // One set for 127.0.0.1 and localhost, made once per process.
    static const TestCertificates& Loopback();

private:
    std::string mstrFolder;
    std::string mstrCaFile;
    std::string mstrCertificateFile;
    std::string mstrKeyFile;
};

}  // namespace StandIn
