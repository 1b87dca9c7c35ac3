// Downloads one URL with CHttpClient::DownloadFile and prints the time it took and how much the
// process's peak working set grew meanwhile.
// usage: bench_download <url> <target path> <CA certificate (DER) to trust>
#include <windows.h>
#include <psapi.h>
#include <wincrypt.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/HttpClient.h"
#include "core/TextUtils.h"

namespace {

void TrustCertificate(const wchar_t* path) {
  FILE* file = _wfopen(path, L"rb");
  if (!file) return;
  std::vector<BYTE> der(1 << 16);
  size_t size = fread(der.data(), 1, der.size(), file);
  fclose(file);
  ::CertAddEncodedCertificateToSystemStoreW(L"ROOT", der.data(), static_cast<DWORD>(size));
}

SIZE_T WorkingSet(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  TrustCertificate(argv[3]);
  CHttpClient::GlobalInitLibCurl();
  std::string url = WideToUtf8(argv[1]);
  {
    // One small transfer first, so that the TLS provider's one-off start-up is not measured.
    CHttpClient warm;
    warm.ProbeUrl(url.substr(0, url.rfind('/') + 1), 10);
  }
  SIZE_T before = WorkingSet(false);
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  CHttpClient client;
  bool ok = client.DownloadFile(0, url, argv[2], nullptr);
  ::QueryPerformanceCounter(&end);
  double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  double growth = double(WorkingSet(true) > before ? WorkingSet(true) - before : 0) / (1024.0 * 1024.0);
  printf("ok=%d seconds=%.4f rss_growth_mb=%.2f\n", ok ? 1 : 0, seconds, growth);
  return ok ? 0 : 1;
}
