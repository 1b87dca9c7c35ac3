#include "core/HttpClient.h"

// libcurl brings in winsock2, which must come before windows.h.
#include <curl/curl.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/ServerCertificate.h"
#include "core/SystemHelpers.h"

namespace {

constexpr char kBrowserUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 "
    "Safari/537.36";
constexpr size_t kExtraHeaderCapacity = 1024;
constexpr long kDefaultTimeoutSeconds = 30;
// Large transfer buffers keep the per-chunk overhead of a big package download small.
constexpr long kDownloadBufferSize = 512 * 1024;
constexpr size_t kDownloadFileBuffer = 1024 * 1024;

struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
  if (file && !bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file.get());
}

void CreateParentFolders(const std::wstring& path) {
  size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos && separator > 0) CreateDirectoryTree(path.substr(0, separator));
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

struct DownloadTarget {
  FILE* file;
  CURL* handle;
  bool verified;
  std::string error;
};

size_t OnFileChunk(char* data, size_t size, size_t count, void* context) {
  auto* target = static_cast<DownloadTarget*>(context);
  // Not one byte from a server whose certificate does not verify reaches the disk.
  if (!target->verified) {
    if (!VerifyServerCertificate(target->handle, target->error)) return 0;
    target->verified = true;
  }
  // Fewer items than handed over makes libcurl abort the transfer.
  size_t written = fwrite(data, size, count, target->file);
  return written == count ? size * count : written;
}

struct ProgressContext {
  int32_t userValue;
  CURL* handle;
  DownloadProgressFn callback;
};

int OnProgress(void* context, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t) {
  auto* progress = static_cast<ProgressContext*>(context);
  curl_off_t speed = 0;
  curl_easy_getinfo(progress->handle, CURLINFO_SPEED_DOWNLOAD_T, &speed);
  return progress->callback(progress->userValue, downloadTotal, downloaded, static_cast<double>(speed)) ? 0 : 1;
}

}  // namespace

CHttpClient::~CHttpClient() { ReleaseLibCurl(); }

bool CHttpClient::GlobalInitLibCurl() { return curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK; }

// The product's replies carry code that runs as administrator and the digest it is checked
// against: never accept a certificate that does not verify. Revocation is checked where the
// certificate names a reachable list, and not held against a server when it cannot be checked.
void CHttpClient::ApplyTlsVerification(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
  // The presented chain, for the check that does not rely on the TLS provider.
  curl_easy_setopt(handle, CURLOPT_CERTINFO, 1L);
}

bool CHttpClient::InitLibCurl(const char* cookieFile) {
  m_errorText.clear();
  ReleaseLibCurl();
  m_handle = curl_easy_init();
  if (!m_handle) return false;
  ApplyTlsVerification(m_handle);
  curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CHttpClient::OnBody);
  curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CHttpClient::OnHeader);
  curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(m_handle, CURLOPT_HEADER, 0L);
  curl_easy_setopt(m_handle, CURLOPT_VERBOSE, 0L);
  curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, 1L);
  if (cookieFile && *cookieFile) {
    curl_easy_setopt(m_handle, CURLOPT_COOKIEFILE, cookieFile);
    curl_easy_setopt(m_handle, CURLOPT_COOKIEJAR, cookieFile);
  }
  SetTimeouts(kDefaultTimeoutSeconds, kDefaultTimeoutSeconds);
  return true;
}

bool CHttpClient::SetTimeouts(int totalSeconds, int connectSeconds) {
  if (!m_handle) return true;
  curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(m_handle, CURLOPT_TIMEOUT, static_cast<long>(totalSeconds));
  curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectSeconds));
  return true;
}

void CHttpClient::SetPostFields(const std::string& body) {
  if (body.empty() || !m_handle) return;
  curl_easy_setopt(m_handle, CURLOPT_POST, 1L);
  curl_easy_setopt(m_handle, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
}

std::string CHttpClient::BuildHostLine(const std::string& url) {
  std::string stripped = Trim(url);
  size_t scheme = stripped.find("://");
  if (scheme == std::string::npos) return std::string();
  size_t start = scheme + 3;
  size_t end = stripped.find('/', start);
  return "Host: " + stripped.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> CHttpClient::SplitExtraHeaders(const char* extraHeaders) {
  std::vector<std::string> lines;
  if (!extraHeaders) return lines;
  // The header block is far shorter than this; anything beyond it is not sent.
  std::string text(extraHeaders, strnlen(extraHeaders, kExtraHeaderCapacity - 1));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n;", start);
    if (end == std::string::npos) end = text.size();
    if (end - start >= 2) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool CHttpClient::Perform(const std::string& url, RequestMethod method, const char* extraHeaders) {
  m_responseHeaders.clear();
  m_responseBody.clear();
  m_untrusted = false;
  if (!m_handle) return false;
  std::unique_ptr<curl_slist, CurlListDeleter> headers;
  auto append = [&headers](const std::string& line) {
    if (line.empty()) return;  // libcurl would send nothing for it anyway
    curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
    if (grown) {
      (void)headers.release();
      headers.reset(grown);
    }
  };
  append("Accept: */*");
  append("Accept-Language: zh-CN");
  append("User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)");
  append("Accept-Encoding: gzip, deflate");
  append(BuildHostLine(url));
  append("Connection: Keep-Alive");
  if (method == 3) append("X-HTTP-Method-Override: PATCH");
  for (const std::string& line : SplitExtraHeaders(extraHeaders)) append(line);

  curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(m_handle, CURLOPT_ACCEPT_ENCODING, "gzip");
  if (method == 1) curl_easy_setopt(m_handle, CURLOPT_HTTPGET, 1L);
  if (method == 3) curl_easy_setopt(m_handle, CURLOPT_CUSTOMREQUEST, "PATCH");
  curl_easy_setopt(m_handle, CURLOPT_URL, url.c_str());
  CURLcode result = curl_easy_perform(m_handle);
  // The list must not outlive the handle's use of it.
  curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, nullptr);
  if (result != CURLE_OK) {
    m_errorText = curl_easy_strerror(result);
    return false;
  }
  if (!VerifyServerCertificate(m_handle, m_errorText, &m_verifiedConnection)) {
    m_responseBody.clear();
    m_untrusted = true;
    return false;
  }
  return true;
}

long CHttpClient::GetResponseCode() {
  long code = 0;
  if (!m_handle || curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &code) != CURLE_OK) return 0;
  return code;
}

long CHttpClient::HttpRequest(const std::string& url, RequestMethod method, std::string& text,
                              const char* extraHeaders, const std::wstring& downloadPath) {
  m_downloadPath = downloadPath;
  // Emptied rather than deleted: a delete that fails would leave new bytes behind stale ones.
  if (!m_downloadPath.empty()) WriteWholeFile(m_downloadPath, std::string());
  if (url.empty()) return 0;
  if (!downloadPath.empty()) CreateParentFolders(downloadPath);
  std::string target = url;
  if (target.find("http://") == std::string::npos && target.find("https://") == std::string::npos)
    target = "http://" + target;
  bool ok = Perform(target, method, extraHeaders);
  // An answer from a server that failed the certificate check is no answer at all.
  long code = m_untrusted ? 0 : GetResponseCode();
  if (ok) {
    text = m_responseBody;
    // Written once the certificate has been checked, never piecemeal from an unverified server.
    if (!m_downloadPath.empty()) WriteWholeFile(m_downloadPath, m_responseBody);
  } else
    text = m_handle ? m_errorText : std::string("InitLibCurl is not invoked");
  return code;
}

bool CHttpClient::ProbeUrl(const std::string& url, int seconds) {
  if (url.empty()) return false;
  std::unique_ptr<CURL, CurlEasyDeleter> probe(curl_easy_init());
  if (!probe) return false;
  CURL* h = probe.get();
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(seconds));
  curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(seconds));
  ApplyTlsVerification(h);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CHttpClient::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &CHttpClient::OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(h, CURLOPT_HEADER, 0L);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  CURLcode result = curl_easy_perform(h);
  long code = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  if (result != CURLE_OK) return false;
  std::string error;
  return VerifyServerCertificate(h, error) && code < 400;
}

bool CHttpClient::DownloadFile(int32_t userValue, const std::string& url, const std::wstring& path,
                               DownloadProgressFn progress) {
  if (url.empty()) {
    ::DeleteFileW(path.c_str());
    return false;
  }
  CreateParentFolders(path);
  // Truncating, not appending after a delete: a delete that failed would leave stale bytes first.
  std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
  if (!file) return false;
  setvbuf(file.get(), nullptr, _IOFBF, kDownloadFileBuffer);
  std::unique_ptr<CURL, CurlEasyDeleter> download(curl_easy_init());
  if (!download) {
    file.reset();
    ::DeleteFileW(path.c_str());
    return false;
  }
  CURL* h = download.get();
  ApplyTlsVerification(h);
  DownloadTarget target{file.get(), h, false, std::string()};
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnFileChunk);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &target);
  curl_easy_setopt(h, CURLOPT_HEADER, 0L);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kDownloadBufferSize);
  curl_easy_setopt(h, CURLOPT_USERAGENT, kBrowserUserAgent);
  // A server that stops sending would otherwise hold the install forever.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, m_stallSeconds);
  ProgressContext context{userValue, h, progress};
  if (progress) {
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &context);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
  }
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  CURLcode result = curl_easy_perform(h);
  long code = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  // An empty body never reached the file callback's check.
  bool trusted = target.verified || (result == CURLE_OK && VerifyServerCertificate(h, target.error));
  download.reset();
  bool flushed = fflush(file.get()) == 0;
  file.reset();
  if (result == CURLE_OK && trusted && flushed && code >= 200 && code < 400) return true;
  m_errorText = target.error.empty() ? curl_easy_strerror(result) : target.error;
  ::DeleteFileW(path.c_str());
  return false;
}

void CHttpClient::ReleaseLibCurl() {
  if (m_handle) curl_easy_cleanup(m_handle);
  m_handle = nullptr;
  m_verifiedConnection = ~0ull;
}

size_t CHttpClient::OnBody(char* data, size_t size, size_t count, void* client) {
  static_cast<CHttpClient*>(client)->m_responseBody.append(data, size * count);
  return size * count;
}

size_t CHttpClient::OnHeader(char* data, size_t size, size_t count, void* client) {
  static_cast<CHttpClient*>(client)->m_responseHeaders.append(data, size * count);
  return size * count;
}
