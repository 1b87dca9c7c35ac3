// Fixtures shared by the test programs: temporary folders, file contents, child processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A fresh folder below the temporary folder, removed with everything in it on destruction.
class CTempFolder {
 public:
  CTempFolder();
  ~CTempFolder();
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;
  // Without a trailing backslash.
  const std::wstring& Path() const { return m_path; }
  std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

 private:
  std::wstring m_path;
};

bool RemoveTree(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::wstring Utf8ToWideText(const std::string& text);
std::string WideToUtf8Text(const std::wstring& text);

// The folder the test program runs from (ends with a backslash); TovikSetup.exe and the helper
// programs are built there too.
std::wstring TestProgramFolder();

// A Unix path from the environment (TOVIK_SOURCE_DIR, ...) as a Windows path.
std::wstring EnvironmentPath(const char* name);

// Starts a program and waits up to timeoutMs for it to end, pumping this thread's messages so that
// the child may send messages to windows of this thread. Returns the exit code, or -1 on failure or
// timeout (the child is then ended).
int RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, const wchar_t* environment = nullptr);

// Polls a condition, pumping messages, until it is true or the time is up.
template <class Predicate>
bool WaitFor(Predicate predicate, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    if (predicate()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(20);
  }
}

}  // namespace testing_support
