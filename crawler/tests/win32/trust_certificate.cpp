// trust_certificate CERT.der: adds a certificate to the current user's trusted root
// certificates. Set-up of the package test's https crawl (Wine asks no confirmation).

#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Usage: trust_certificate CERT.der\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<unsigned char> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty() || !CertAddEncodedCertificateToSystemStoreA("ROOT", der.data(), static_cast<DWORD>(der.size()))) {
        std::cerr << "trust_certificate: cannot add " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
