#include "core/TextUtils.h"

#include <windows.h>

#include <cctype>
#include <cwctype>

namespace {

// Two passes over the whole zero-terminated input, as Windows counts the terminator too.
std::wstring MultiByteToWide(UINT codePage, const std::string& text) {
  int needed = ::MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], needed);
  wide.resize(static_cast<size_t>(needed) - 1);
  return wide;
}

std::string WideToMultiByte(UINT codePage, const std::wstring& text) {
  int needed = ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string bytes(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(codePage, 0, text.c_str(), -1, &bytes[0], needed, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(needed) - 1);
  return bytes;
}

bool IsReservedDeviceName(std::wstring name) {
  size_t dot = name.find(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  while (!name.empty() && name.back() == L' ') name.pop_back();
  for (auto& c : name) c = static_cast<wchar_t>(std::towupper(c));
  static const wchar_t* const kReserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
  for (const wchar_t* reserved : kReserved)
    if (name == reserved) return true;
  return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
         name[3] >= L'0' && name[3] <= L'9';
}

}  // namespace

const wchar_t kFallbackPackageFileName[] = L"package.zip";

std::string WideToAnsi(const std::wstring& text) { return WideToMultiByte(CP_ACP, text); }
std::wstring AnsiToWide(const std::string& text) { return MultiByteToWide(CP_ACP, text); }
std::wstring Utf8ToWide(const std::string& text) { return MultiByteToWide(CP_UTF8, text); }
std::string WideToUtf8(const std::wstring& text) { return WideToMultiByte(CP_UTF8, text); }
std::string AnsiToUtf8(const std::string& text) { return WideToUtf8(AnsiToWide(text)); }

std::string ChangeCase(bool upper, const std::string& text) {
  std::string result(text);
  for (char& c : result) {
    int byte = static_cast<unsigned char>(c);
    c = static_cast<char>(upper ? std::toupper(byte) : std::tolower(byte));
  }
  return result;
}

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(text.size() * 3);
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        byte == '-' || byte == '_' || byte == '.') {
      result += c;
    } else if (byte == ' ') {
      result += '+';
    } else {
      result += '%';
      result += kHex[byte >> 4];
      result += kHex[byte & 0x0F];
    }
  }
  return result;
}

std::vector<std::wstring> SplitString(const std::wstring& text, const std::wstring& delimiters) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  size_t pos = text.find_first_of(delimiters, start);
  while (pos != std::wstring::npos) {
    pieces.push_back(text.substr(start, pos - start));
    start = text.find_first_not_of(delimiters, pos);
    pos = start == std::wstring::npos ? std::wstring::npos : text.find_first_of(delimiters, start);
  }
  if (start != std::wstring::npos) pieces.push_back(text.substr(start));
  return pieces;
}

bool IsMd5Text(const std::string& text) {
  if (text.size() != 32) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::wstring MakePackageFileName(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  size_t slash = path.find_last_of("/\\");
  std::wstring name = Utf8ToWide(slash == std::string::npos ? path : path.substr(slash + 1));
  for (wchar_t& c : name) {
    if (c < 32 || wcschr(L"<>:\"/\\|?*", c)) c = L'_';
  }
  // Windows drops trailing dots and blanks, so a name made only of them names nothing.
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  if (name.empty() || name.find_first_not_of(L"_") == std::wstring::npos || IsReservedDeviceName(name))
    return kFallbackPackageFileName;
  return name;
}
