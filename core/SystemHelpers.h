// Small stateless helpers that act on the operating system. None of them waits for a child process,
// shows a window or writes to the log; each reports success through its result.
#pragma once

#include <windows.h>

#include <string>

// The folder Windows keeps its own programs in, with no trailing backslash ("C:\windows\system32").
std::wstring GetSystemFolder();

// Ends every process with the given image name and its children through a hidden "taskkill".
// Returns ShellExecuteW's instance code (greater than 32 when the interpreter was started).
INT_PTR KillProcessTree(const std::wstring& imageName);
// The "/c ..." parameter text handed to the command interpreter.
std::wstring BuildKillProcessParams(const std::wstring& imageName);

// Runs a command (system code page) through a hidden command interpreter without waiting.
// Returns whether the interpreter was started.
bool RunHiddenCommand(const std::string& command);

// Creates a folder and any missing parents; true when the folder exists afterwards.
bool CreateDirectoryTree(const std::wstring& path);

// True for an existing file or folder; false for an empty path.
bool PathExists(const std::wstring& path);

// Reads a value as the stated type (REG_SZ, REG_BINARY or REG_DWORD; the latter two as the first
// four bytes in signed decimal), trying the 64-bit view when the value is missing from the default
// one. Clears text first; false when the key or value cannot be read.
bool ReadRegistryValue(HKEY rootKey, const std::wstring& subKey, const std::wstring& valueName, DWORD type,
                       std::wstring& text);

// The folder of the module (null: the running program), ending with a backslash.
std::wstring GetModuleDirectory(HMODULE module);

// The text after the last slash or backslash; the whole path when there is neither.
std::wstring GetFileNameFromPath(const std::wstring& path);

// True when the folder holds no entry besides "." and "..". False when it holds something, or when it
// cannot be listed; in the latter case message (capacity code units, terminator included) is filled
// with "检测文件夹是否为空失败[<folder>\*.*]". message may be null.
bool IsDirectoryEmpty(const std::wstring& folder, wchar_t* message, size_t capacity);

// Creates (replacing) or deletes the scheduled task that starts a program at every logon, 15 seconds
// after logon, with the highest run level. True means the scheduler program was started.
bool CreateLogonTask(const std::wstring& taskName, const std::wstring& programPath);
bool DeleteLogonTask(const std::wstring& taskName);
// The scheduler's parameter texts; empty when they would not fit in 512 code units.
std::wstring BuildCreateLogonTaskParams(const std::wstring& taskName, const std::wstring& programPath);
std::wstring BuildDeleteLogonTaskParams(const std::wstring& taskName);

// Starts a program from the system folder, hidden, with the system folder as its working folder, so
// that nothing planted next to the setup or in the current folder is run instead. Does not wait.
bool StartSystemProgramHidden(const std::wstring& programName, const std::wstring& parameters);
