#include "core/WriteLogFile.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

CWriteLogFile g_logFile;

namespace {

constexpr wchar_t kBom[] = {0xFEFF};
constexpr wchar_t kLineEnd[] = L"\r\n";

bool FileExists(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

void WriteUnits(FILE* file, const wchar_t* text, size_t count) {
  if (count) fwrite(text, sizeof(wchar_t), count, file);
}

// The time stamp and source in front of every line. _snwprintf keeps the C runtime's wide
// conventions, where "%s" is a wide string.
std::wstring LinePrefix(const wchar_t* source, int line) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  std::vector<wchar_t> buffer(64 + wcslen(source), L'\0');
  _snwprintf(buffer.data(), buffer.size() - 1, L"[%04d-%02d-%02d %02d:%02d:%02d][%s %d]", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond, source, line);
  return buffer.data();
}

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};

}  // namespace

CWriteLogFile::CWriteLogFile() = default;
CWriteLogFile::~CWriteLogFile() = default;

void CWriteLogFile::SetLogFile(const std::wstring& path, int maxSizeKB) {
  unsigned size = static_cast<unsigned>(GetLogFileSize(path));
  if (size == 0 || size > static_cast<unsigned>(maxSizeKB) * 1024u) ::DeleteFileW(path.c_str());
  CAutoLock lock(m_lock);
  m_path = path;
  m_maxSizeKB = maxSizeKB;
}

int CWriteLogFile::GetLogFileSize(const std::wstring& path) {
  CAutoLock lock(m_lock);
  FILE* raw = _wfopen(path.c_str(), L"r");
  if (!raw) return 0;
  std::unique_ptr<FILE, FileCloser> file(raw);
  if (fseek(raw, 0, SEEK_END) != 0) return 0;
  long length = ftell(raw);
  return length < 0 ? 0 : static_cast<int>(length);
}

std::wstring CWriteLogFile::GetPath() {
  CAutoLock lock(m_lock);
  return m_path;
}

template <class WriteBody>
void CWriteLogFile::AppendLine(const wchar_t* source, int line, WriteBody&& writeBody) {
  if (!m_enabled) return;
  CAutoLock lock(m_lock);
  try {
    if (static_cast<unsigned>(GetLogFileSize(m_path)) > static_cast<unsigned>(m_maxSizeKB) * 1024u)
      ::DeleteFileW(m_path.c_str());
    bool existed = FileExists(m_path);
    FILE* raw = _wfopen(m_path.c_str(), L"ab+");
    if (!raw) return;
    std::unique_ptr<FILE, FileCloser> file(raw);
    if (!existed) WriteUnits(raw, kBom, 1);
    std::wstring prefix = LinePrefix(source ? source : L"", line);
    WriteUnits(raw, prefix.data(), prefix.size());
    writeBody(raw);
    WriteUnits(raw, kLineEnd, 2);
  } catch (...) {
    // A lost log line must never take the caller down with it.
  }
}

void CWriteLogFile::WriteLog(const wchar_t* source, int& line, const wchar_t* format, ...) {
  if (!m_enabled || !format) return;
  std::vector<wchar_t> message(kMessageCapacity, L'\0');
  va_list args;
  va_start(args, format);
  // Cut to the buffer less its terminator; _vsnwprintf leaves the terminator to us when it cuts.
  _vsnwprintf(message.data(), kMessageCapacity - 1, format, args);
  va_end(args);
  message[kMessageCapacity - 1] = L'\0';
  const wchar_t* text = message.data();
  AppendLine(source, line, [text](FILE* f) { WriteUnits(f, text, wcslen(text)); });
}

void CWriteLogFile::WriteLogText(const wchar_t* source, int& line, const std::wstring& text) {
  AppendLine(source, line, [&text](FILE* f) { WriteUnits(f, text.data(), text.size()); });
}
