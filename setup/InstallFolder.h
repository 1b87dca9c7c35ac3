// The install folder as the user typed it: only a full path is taken, and it is taken in its
// normal form, so that the worker never installs relative to whatever the current folder is.
#pragma once

#include <string>

// A drive path ("C:\...") or a network path ("\\server\share\..."), with "/" read as "\", blanks
// around it ignored, "." and ".." resolved and no trailing backslash (a drive root keeps its own).
// False for an empty, relative, drive-relative ("C:x"), root-relative ("\x") or otherwise unusable
// path (characters that no Windows file name may hold), leaving normalised empty.
bool NormaliseInstallFolder(const std::wstring& typed, std::wstring& normalised);
