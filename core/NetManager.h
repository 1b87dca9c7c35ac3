// The client of the product's web API: prepares the process for HTTP once, probes API hosts, and
// sends signed requests (form-encoded POST plus an MD5 signature, with the client header block),
// then unpacks the JSON reply envelope and decrypts its payload. One object per process, created on
// first use and never destroyed.
#pragma once

#include <map>
#include <string>

// Request parameters, ordered by name in ascending byte order: the order on the wire and in the
// signature text.
using ApiParams = std::map<std::string, std::string>;

class NetManager {
 public:
  static NetManager* Instance();

  static constexpr int kSuccessCode = 100100;
  static const char kSigningKey[];
  static const wchar_t kGenericFailureMessage[];

  // Initialises libcurl and creates the cache folder (the working folder + "cache"); effective only
  // at its first call in the process.
  void InitNetwork(const std::wstring& workDir);
  // True when the base URL answers a GET below 400 within 10 seconds.
  bool CheckHost(const std::string& baseUrl);
  // Seconds since 1970-01-01 UTC, in decimal.
  static std::string GetTimestamp();
  // UrlEncode(value) in lower case: letters and escape digits alike.
  static std::string EncodeForSign(const std::string& value);
  // The form body with "&sign=<md5>" appended, as sent.
  static std::string BuildSignedBody(const ApiParams& params);
  // The client header block, one "Name: value" line per header joined with CR LF.
  static std::string BuildClientHeaders();
  // Payload text of a reply's "data"; empty when it is empty, not base64 or fails to decrypt.
  // tooShort is set when the decrypted text has fewer than 10 characters.
  static std::string DecryptReply(const std::string& data, bool* tooShort = nullptr);

  // Sends the request to the chosen API host (once more to the fallback host when the first
  // attempt gives no usable answer). True when the API answered with the success code: payload is
  // then set. On failure message holds the API's refusal text or the generic failure message; code
  // holds the reply's code once one was read, -1 before. Fails at once when no API host has been
  // chosen.
  bool SignedRequest(const std::string& path, const ApiParams& params, std::string& payload, std::wstring& message,
                     int& code, int requestTag);

  // Milliseconds before the retry on the fallback host.
  static constexpr unsigned kRetryDelayMs = 3000;

 private:
  NetManager() = default;
  bool m_networkReady = false;
};
