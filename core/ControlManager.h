// Finds and fetches the current client package: chooses a reachable API host, asks the API for the
// package's URL, digest and version, and downloads the package into the cache folder, accepting it
// only when its MD5 digest matches. The install worker calls the three operations in this order.
#pragma once

#include <string>

class CWindowMultiThreadManager {
 public:
  static CWindowMultiThreadManager* Instance();

  // Probes the primary and then the secondary API endpoint and stores the first that answers in
  // DataManager (the secondary is always the fallback). Always true; when neither answers nothing
  // is stored and a later request fails.
  bool SelectApiHost();
  // True when the API gave a non-empty URL and a 32-digit hexadecimal digest (version may be empty).
  bool GetClientZipUrl(std::string& url, std::string& md5, std::string& version);
  // True when the regular file at path has the expected digest, downloading it unless the cached
  // copy already matches. A download with the wrong digest stays in the cache and returns false.
  bool DownloadPackage(const std::wstring& path, const std::string& url, const std::string& md5);

  // Seconds without data after which a package download gives up.
  void SetDownloadStallLimit(long seconds) { m_stallSeconds = seconds; }

 private:
  CWindowMultiThreadManager() = default;
  long m_stallSeconds = 60;
};

// The package cache folder for a working folder (which ends with a backslash): "<work>cache".
std::wstring GetPackageCacheFolder(const std::wstring& workDir);
// Where the package of a URL is kept: "<work>cache\<safe file name of the URL>".
std::wstring GetPackageCachePath(const std::wstring& workDir, const std::string& url);
// True for an existing regular file (a folder never counts as a cached package).
bool IsRegularFile(const std::wstring& path);
