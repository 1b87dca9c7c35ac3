// Pins an existing link to the taskbar by running the system's own pin command on it through a
// temporary shell verb. Needs COM initialised on the calling thread.
#pragma once

#include <string>

// The system's pin command and the temporary verb that exposes it for every file type.
constexpr wchar_t kTaskbarPinCommandKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CommandStore\\shell\\Windows.taskbarpin";
constexpr wchar_t kCommandHandlerValue[] = L"ExplorerCommandHandler";
constexpr wchar_t kShellVerbsKey[] = L"SOFTWARE\\Classes\\*\\shell";
constexpr wchar_t kTemporaryVerb[] = L"{:}";

// The user's pinned-taskbar folder; empty when the application-data folder cannot be found.
std::wstring GetTaskbarFolder();

// Pins folder\linkName. Best effort: changes nothing when the system registers no pin command, and
// never leaves the temporary verb behind once it has been created or opened.
void PinToTaskbar(const std::wstring& folder, const std::wstring& linkName);
