// The program's one diagnostic log: a UTF-16LE file with a byte-order mark and CR LF lines of the
// form "[yyyy-mm-dd hh:mm:ss][<source> <line>]<message>". The file is opened and closed for every
// line, so every line written survives a crash. Logging never fails towards its caller.
#pragma once

#include <string>

#include "core/ScopedHandle.h"

class CWriteLogFile {
 public:
  CWriteLogFile();
  virtual ~CWriteLogFile();
  CWriteLogFile(const CWriteLogFile&) = delete;
  CWriteLogFile& operator=(const CWriteLogFile&) = delete;

  // Deletes the file at path when it is larger than maxSizeKB * 1024 bytes or empty (or missing),
  // then keeps path and limit for every later write.
  void SetLogFile(const std::wstring& path, int maxSizeKB);

  // Appends one line whose message is formatted with the C runtime's wide printf rules ("%s" takes
  // a wide string). Messages longer than 10239 code units are cut.
  void WriteLog(const wchar_t* source, int& line, const wchar_t* format, ...);

  // Appends one line whose message is the text as it stands, whatever its length.
  void WriteLogText(const wchar_t* source, int& line, const std::wstring& text);

  // Length of the file in bytes, 0 when it cannot be opened.
  int GetLogFileSize(const std::wstring& path);

  std::wstring GetPath();

  static constexpr size_t kMessageCapacity = 10240;

 private:
  template <class WriteBody>
  void AppendLine(const wchar_t* source, int line, WriteBody&& writeBody);

  std::wstring m_path;
  int m_maxSizeKB = 0;
  bool m_enabled = true;
  CCriticalSection m_lock;
};

extern CWriteLogFile g_logFile;

// Each source file that logs defines LOG_SOURCE as its label (for example L".\\MainWnd.cpp")
// before using these.
#define WRITE_LOG(format, ...)                                       \
  do {                                                               \
    int logLine_ = __LINE__;                                         \
    g_logFile.WriteLog(LOG_SOURCE, logLine_, format, ##__VA_ARGS__); \
  } while (0)

#define WRITE_LOG_TEXT(text)                          \
  do {                                                \
    int logLine_ = __LINE__;                          \
    g_logFile.WriteLogText(LOG_SOURCE, logLine_, text); \
  } while (0)
