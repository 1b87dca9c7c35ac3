// Hostile archives: seeded, repeatable mutations of real archives, each opened from memory and
// unpacked to memory and to files. Every outcome must be one of the facade's results, no item may
// deliver more than it declares, and nothing may be written outside the target folder.
#include <gtest/gtest.h>

#include <random>

#include "archive/ZipFacade.h"
#include "tests/archive/ZipFixtureFiles.h"
#include "tests/archive/ZipTestArchive.h"

namespace {

using testing_support::CTempFolder;
using zip_test::Build;
using zip_test::File;

bool IsFacadeResult(ZipResult r) {
  switch (r) {
    case ZipOk: case ZipOpenFailed: case ZipWriteFailed: case ZipNotFound: case ZipMoreData: case ZipCorrupt:
    case ZipReadFailed: case ZipBadPassword: case ZipBadArgument: case ZipInflateFailed:
      return true;
  }
  return false;
}

std::vector<size_t> FindAll(const std::string& bytes, const std::string& signature) {
  std::vector<size_t> at;
  for (size_t p = bytes.find(signature); p != std::string::npos; p = bytes.find(signature, p + 1)) at.push_back(p);
  return at;
}

class Mutator {
 public:
  Mutator(const std::string& seed, uint32_t rngSeed) : m_seed(seed), m_rng(rngSeed) {
    m_headers = FindAll(seed, std::string("PK\x01\x02", 4));
    for (size_t p : FindAll(seed, std::string("PK\x03\x04", 4))) m_headers.push_back(p);
    for (size_t p : FindAll(seed, std::string("PK\x05\x06", 4))) m_headers.push_back(p);
  }

  std::string Next() {
    std::string bytes = m_seed;
    switch (Pick(4)) {
      case 0:  // flip a few bytes anywhere
        for (int i = 0, n = 1 + Pick(4); i < n; ++i) bytes[Pick(bytes.size())] ^= static_cast<char>(1 + Pick(255));
        break;
      case 1:  // cut the archive short
        bytes.resize(Pick(bytes.size()));
        break;
      case 2:  // overwrite a field of a header with an extreme or random value
      case 3: {
        size_t at = m_headers[Pick(m_headers.size())] + 4 + Pick(42);
        static const uint32_t kValues[] = {0, 1, 0xFF, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0x10000, 12, 30};
        uint32_t value = Pick(2) ? kValues[Pick(sizeof(kValues) / sizeof(kValues[0]))] : static_cast<uint32_t>(m_rng());
        for (int i = 0, width = Pick(2) ? 2 : 4; i < width && at + i < bytes.size(); ++i)
          bytes[at + i] = static_cast<char>(value >> (8 * i));
        break;
      }
    }
    return bytes;
  }

 private:
  size_t Pick(size_t below) { return below ? m_rng() % below : 0; }

  std::string m_seed;
  std::mt19937 m_rng;
  std::vector<size_t> m_headers;
};

bool FolderIsEmpty(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  CScopedFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find) return true;
  do {
    std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (::FindNextFileW(find.Get(), &entry));
  return true;
}

// Walks one mutant archive the way both users of the facade do.
void Exercise(const std::string& bytes, const char* password, const std::wstring& target, std::string& failure) {
  CScopedZip zip(ZipOpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()), password));
  if (!zip) return;
  auto check = [&](ZipResult r, const char* what) {
    if (!IsFacadeResult(r) && failure.empty()) failure = std::string(what) + " gave an unknown result";
  };
  ZipItemInfo info;
  check(ZipSetTargetFolder(zip.Get(), target.c_str()), "ZipSetTargetFolder");
  check(ZipItemAt(zip.Get(), -1, &info), "ZipItemAt(-1)");
  int count = std::min(info.index, 64);
  std::vector<char> buffer(4096);
  for (int index = 0; index < count; ++index) {
    ZipResult described = ZipItemAt(zip.Get(), index, &info);
    check(described, "ZipItemAt");
    if (described == ZipOk) check(ZipUnpackToFile(zip.Get(), index, info.name), "ZipUnpackToFile");
    uint64_t delivered = 0, declared = described == ZipOk ? static_cast<uint32_t>(info.uncompressedSize) : 0;
    for (;;) {
      ZipResult r = ZipUnpackToMemory(zip.Get(), index, buffer.data(), static_cast<uint32_t>(buffer.size()));
      check(r, "ZipUnpackToMemory");
      if (r != ZipMoreData) break;
      delivered += buffer.size();
      if (described == ZipOk && delivered > declared && failure.empty()) failure = "an item delivered more than declared";
      if (delivered > (64u << 20)) {
        if (failure.empty()) failure = "an item never ends";
        break;
      }
    }
  }
  std::vector<uint8_t> data;
  check(ZipReadItem(zip.Get(), L"main.xml", data), "ZipReadItem");
}

TEST(ZipMutation, HostileArchivesGiveResultsNeverCrashesHangsOrEscapes) {
  std::string text = zip_test::NoisyBytes(20000, 11);
  zip_test::Entry secret = File("secret.txt", text);
  secret.password = "pw";
  zip_test::Entry stored = File("bkimage/main_bk.png", zip_test::NoisyBytes(3000, 2), 0);
  stored.password = "skin-pass";
  zip_test::Entry xml = File("main.xml", std::string(4000, '<'));
  xml.password = "skin-pass";
  zip_test::Entry timed = File("timed.txt", "t");
  timed.localExtra = zip_test::UtBlock(7, {1, 2, 3});
  struct Seed {
    const char* what;
    std::string bytes;
    const char* password;
  } seeds[] = {
      // Info-ZIP writes random encryption headers and access times: only this fixture is the same
      // bytes on every run, which keeps the mutants repeatable.
      {"Info-ZIP package", zip_test::FixtureBytes(L"noextra.zip"), nullptr},
      {"skin", Build({File("bkimage/", "", 0), stored, xml}), "skin-pass"},
      {"hand-built", Build({File("a/", "", 0), File("a/s.txt", text, 0), File("d.txt", text), secret, timed},
                           {std::string(100, 'S'), "comment"}), "pw"},
  };
  const int kMutantsPerSeed = 400;
  for (const Seed& seed : seeds) {
    ASSERT_GT(seed.bytes.size(), 100u) << seed.what;
    CTempFolder folder;
    std::wstring target = folder / L"target";
    Mutator mutator(seed.bytes, 20261209);
    for (int round = 0; round < kMutantsPerSeed; ++round) {
      ::CreateDirectoryW(target.c_str(), nullptr);
      std::string failure;
      Exercise(mutator.Next(), seed.password, target, failure);
      ASSERT_TRUE(failure.empty()) << seed.what << ", mutant " << round << ": " << failure;
      // Emptied now and then: a folder that fills with earlier mutants' names slows every create
      // under Wine, and emptying it after each mutant costs more than the mutants themselves.
      if ((round + 1) % 50 == 0) {
        testing_support::RemoveTree(target);
        ASSERT_TRUE(FolderIsEmpty(folder.Path())) << seed.what << ", mutants up to " << round << " wrote outside the target";
      }
    }
  }
}

}  // namespace
