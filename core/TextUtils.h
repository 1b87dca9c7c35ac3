// Text services shared by the core library and the setup: code-page conversions, ASCII case change,
// form-style URL encoding, splitting at delimiters, and the package file name cut from a URL. All
// are pure functions; none reports an error (invalid input converts as Windows converts it).
#pragma once

#include <string>
#include <vector>

std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string AnsiToUtf8(const std::string& text);

// Every byte through toupper (upper) or tolower; in the C locale only ASCII letters change.
std::string ChangeCase(bool upper, const std::string& text);

// Keeps 0-9, a-z, A-Z, "-", "_", "."; a blank becomes "+"; every other byte becomes "%XX" with
// uppercase hexadecimal digits.
std::string UrlEncode(const std::string& text);

// Splits at any of the delimiter characters: runs of delimiters separate once, a leading delimiter
// gives an empty first piece, trailing delimiters give no empty last piece, and an empty text gives
// one empty piece.
std::vector<std::wstring> SplitString(const std::wstring& text, const std::wstring& delimiters);

// True for exactly 32 hexadecimal digits (either case).
bool IsMd5Text(const std::string& text);

// The name a downloaded package is stored under: the last path segment of a UTF-8 URL, without
// query or fragment, with every character a Windows file name cannot hold replaced by "_". Names
// that would be unusable (empty, only dots and blanks, a reserved device name) give
// kFallbackPackageFileName.
std::wstring MakePackageFileName(const std::string& url);
extern const wchar_t kFallbackPackageFileName[];
