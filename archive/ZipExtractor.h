// Unpacks a whole archive into a folder for the install pipeline. Stateless.
#pragma once

#include <string>

class ZipExtractor {
 public:
  // Every item in archive order, folders and files as they come; stops at the first failing item and
  // leaves what was written so far. False when a path is empty, the package is not an existing
  // file, the archive cannot be opened, or an item fails.
  static bool ExtractAll(const std::wstring& packagePath, const std::wstring& targetFolder, const char* password);

  // Creates every missing folder on the path. True when it exists as a folder at the end.
  static bool CreateFolderPath(const std::wstring& folder);
};
