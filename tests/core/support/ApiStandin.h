// Access to the local product-API stand-in (tools/api_standin) that the ctest fixture starts, and
// to the log the core units write.
#pragma once

#include <string>

namespace api_standin {

// Ports of the running stand-in; the test CA is trusted in this Wine prefix after the first call.
struct Ports {
  int trusted = 0;
  int rogue = 0;
  int closed = 0;
};
const Ports& Get();

// "https://127.0.0.1:<port>" with the given switches ("/s/a,b") when they are not empty.
std::string BaseUrl(const std::string& switches = std::string());
// A base URL whose port refuses connections.
std::string RefusedUrl();
// The same server under a certificate no trusted CA signed.
std::string RogueUrl();

}  // namespace api_standin

namespace log_capture {

// Points the process log at a fresh file for the lifetime of the object; Text() reads it back.
class CLogCapture {
 public:
  CLogCapture();
  ~CLogCapture();
  std::wstring Text() const;
  bool Contains(const std::wstring& text) const { return Text().find(text) != std::wstring::npos; }

 private:
  std::wstring m_path;
};

}  // namespace log_capture
