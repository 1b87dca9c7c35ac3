// usage: tovik_bench_extract <package.zip> <target folder>
// Prints "ms=<ExtractAll time> peak_mb=<peak working set>" and exits 0 when the extraction succeeded.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "archive/ZipExtractor.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tovik_bench_extract <package.zip> <target folder>\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  bool ok = ZipExtractor::ExtractAll(argv[1], argv[2], nullptr);
  ::QueryPerformanceCounter(&end);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
  double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("ms=%.1f peak_mb=%.1f\n", ms, memory.PeakWorkingSetSize / (1024.0 * 1024.0));
  return ok ? 0 : 1;
}
