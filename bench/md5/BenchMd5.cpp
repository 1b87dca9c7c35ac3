// Digests one file with CMd5A::GetFileMd5 and prints the digest and the time it took.
// usage: bench_md5 <path>
#include <windows.h>

#include <cstdio>

#include "core/Md5.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  std::string digest = CMd5A().GetFileMd5(argv[1]);
  ::QueryPerformanceCounter(&end);
  printf("md5=%s seconds=%.4f\n", digest.c_str(), double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  return digest.empty() ? 1 : 0;
}
