// Development helper for the demo: trusts a DER certificate as a root in the current Wine prefix,
// as Windows trusts a root, so that the setup talks HTTPS to the local API stand-in.
// usage: tovik_trust_ca.exe <certificate.der>
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  FILE* file = _wfopen(argv[1], L"rb");
  if (!file) return 3;
  std::vector<BYTE> der;
  BYTE chunk[4096];
  size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0) der.insert(der.end(), chunk, chunk + read);
  std::fclose(file);
  if (der.empty()) return 4;
  return ::CertAddEncodedCertificateToSystemStoreW(L"ROOT", der.data(), static_cast<DWORD>(der.size())) ? 0 : 5;
}
