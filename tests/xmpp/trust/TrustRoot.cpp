// Adds the tests' authority to the current user's root store of the test
// Wine prefix, or takes it out again, so that JOV.exe started by the tests
// trusts the servers' certificates as a device trusts an installed root.
//   xmpp_trust_root add|remove <DER file>
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

namespace {

bool ReadFile(const wchar_t* path, std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    bool ok = size > 0 && ::ReadFile(file, bytes.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || (lstrcmpW(argv[1], L"add") != 0 && lstrcmpW(argv[1], L"remove") != 0)) {
        std::fprintf(stderr, "usage: xmpp_trust_root add|remove <DER file>\n");
        return 2;
    }
    const bool add = lstrcmpW(argv[1], L"add") == 0;
    std::vector<BYTE> der;
    if (!ReadFile(argv[2], der)) {
        // Nothing to take out when the fixture never made its authority.
        std::fprintf(stderr, "cannot read the certificate\n");
        return add ? 1 : 0;
    }
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!root) {
        std::fprintf(stderr, "cannot open the root store: %lu\n", GetLastError());
        return 1;
    }
    PCCERT_CONTEXT certificate =
        CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
    bool done = false;
    if (certificate && add) {
        done = CertAddCertificateContextToStore(root, certificate, CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
    } else if (certificate) {
        done = true;
        // Every copy goes, should a run have left one behind.
        while (PCCERT_CONTEXT found = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                                  certificate, nullptr))
            done = CertDeleteCertificateFromStore(found) != FALSE && done;
    }
    if (certificate)
        CertFreeCertificateContext(certificate);
    CertCloseStore(root, 0);
    if (!done)
        std::fprintf(stderr, "could not %s the certificate: %lu\n", add ? "add" : "remove", GetLastError());
    return done ? 0 : 1;
}
