// The one place that speaks HTTP: API requests collected in memory, reachability probes, and file
// downloads streamed to disk, all over libcurl. Certificates are verified on every transfer (peer
// and host name, revocation where it can be checked). A client is used by one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef void CURL;

// 0: as prepared (POST after SetPostFields, otherwise GET); 1: GET; 3: PATCH. Others act as 0.
using RequestMethod = int;

// (user value, bytes expected in all, bytes received, download speed in bytes per second);
// false aborts the download.
using DownloadProgressFn = bool (*)(int32_t userValue, int64_t total, int64_t received, double speed);

class CHttpClient {
 public:
  CHttpClient() = default;
  ~CHttpClient();
  CHttpClient(const CHttpClient&) = delete;
  CHttpClient& operator=(const CHttpClient&) = delete;

  // Once per process, before any handle exists.
  static bool GlobalInitLibCurl();

  // Creates the API handle; cookieFile (may be null or empty) enables a cookie file.
  bool InitLibCurl(const char* cookieFile);
  bool SetTimeouts(int totalSeconds, int connectSeconds);
  // The body must stay alive until the transfer ends; an empty body changes nothing.
  void SetPostFields(const std::string& body);
  // True when the transfer completed, whatever the HTTP status. extraHeaders is cut into header
  // lines at CR, LF and ";"; pieces of one character are dropped.
  bool Perform(const std::string& url, RequestMethod method, const char* extraHeaders);
  long GetResponseCode();
  // The HTTP status (0 when none). text receives the body, or the transport's error description
  // when the transfer failed ("InitLibCurl is not invoked" without a handle). With a download path,
  // the body is written to that file too (the file is emptied first).
  long HttpRequest(const std::string& url, RequestMethod method, std::string& text, const char* extraHeaders,
                   const std::wstring& downloadPath);
  // True when the URL answered below 400 within the time limit.
  bool ProbeUrl(const std::string& url, int seconds);
  // True when the file was fetched with a status from 200 to 399. The target is always written
  // afresh; a failed download leaves no file. A server that sends nothing for the stall limit
  // fails the download; there is no overall time limit.
  bool DownloadFile(int32_t userValue, const std::string& url, const std::wstring& path,
                    DownloadProgressFn progress);
  void ReleaseLibCurl();

  // Seconds without a received byte after which a download gives up (default 60).
  void SetDownloadStallLimit(long seconds) { m_stallSeconds = seconds; }

  const std::string& ResponseHeaders() const { return m_responseHeaders; }
  const std::string& ResponseBody() const { return m_responseBody; }
  const std::string& ErrorText() const { return m_errorText; }

  // The header lines Perform sends before the extra ones, and how extra header text is cut; exposed
  // because the order and content are part of the wire format.
  static std::string BuildHostLine(const std::string& url);
  static std::vector<std::string> SplitExtraHeaders(const char* extraHeaders);

 private:
  static size_t OnBody(char* data, size_t size, size_t count, void* client);
  static size_t OnHeader(char* data, size_t size, size_t count, void* client);
  static void ApplyTlsVerification(CURL* handle);

  std::string m_responseHeaders;
  std::string m_responseBody;
  std::string m_errorText;
  std::wstring m_downloadPath;
  CURL* m_handle = nullptr;
  long m_stallSeconds = 60;
  bool m_untrusted = false;
  uint64_t m_verifiedConnection = ~0ull;
};
