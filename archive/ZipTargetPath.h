// Where an item lands on disk: absolute or relative target names, the folders they need, and the
// check that a relative name stays inside the target folder.
#pragma once

#include <string>

// True when the name begins with a separator or its second character is ':'.
bool IsAbsoluteTargetName(const std::wstring& name);

// Creates root (when not empty) and then every folder along relativeFolder below it. Errors are
// ignored: a folder that could not be made shows up when the file in it is created.
void CreateTargetFolders(const std::wstring& root, const std::wstring& relativeFolder);

// True when path, resolved the way the file system resolves it (".." components, trailing dots and
// spaces), lies strictly below folder.
bool IsInsideFolder(const std::wstring& folder, const std::wstring& path);
