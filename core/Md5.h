// MD5 (RFC 1321) as 32 lowercase hexadecimal digits, of a byte string or of a file's content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMd5A {
 public:
  virtual ~CMd5A() = default;

  // The digest of the string's bytes, whatever their encoding.
  std::string GetStringMd5(const std::string& bytes);
  // The digest of the whole file; an empty string when the file cannot be opened. A read error ends
  // the input as the end of the file does.
  std::string GetFileMd5(const std::wstring& path);
};

// The incremental digest behind CMd5A, for callers that feed data as it arrives.
class CMd5Context {
 public:
  CMd5Context();
  ~CMd5Context();
  CMd5Context(const CMd5Context&) = delete;
  CMd5Context& operator=(const CMd5Context&) = delete;

  void Update(const void* data, size_t size);
  // Ends the input and gives the digest as 32 lowercase hexadecimal digits; the context is wiped.
  std::string FinishHex();

 private:
  void Transform(const unsigned char* block);

  uint32_t m_state[4];
  uint64_t m_bitCount = 0;
  unsigned char m_buffer[64];
};
