#include "platform/posix/file_settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/app/shell_test_support.h"

namespace hovra::platform::posix {
namespace {

using hovra::testing::ReadFile;
using hovra::testing::TempDir;
using hovra::testing::WriteFile;

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(FileSettingsStore, KeepsTypesAndAbsentValuesAcrossInstances) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "sub" / "settings.json";
  {
    FileSettingsStore store(file);
    EXPECT_EQ(store.GetString("UUID"), std::nullopt);
    EXPECT_EQ(store.GetInteger("password"), 0);
    EXPECT_FALSE(store.GetBool("passwordCheck"));
    store.SetString("UUID", "abc");
    store.SetInteger("password", 4321);
    store.SetBool("passwordCheck", true);
    EXPECT_TRUE(store.Synchronize());
  }
  FileSettingsStore reopened(file);
  EXPECT_EQ(reopened.GetString("UUID"), "abc");
  EXPECT_EQ(reopened.GetInteger("password"), 4321);
  EXPECT_TRUE(reopened.GetBool("passwordCheck"));
  EXPECT_EQ(reopened.GetString("password"), std::nullopt);  // an integer is no text
  reopened.SetString("name", "caf\xC3\xA9 \xFF");           // not UTF-8: written, not thrown
  EXPECT_EQ(FileSettingsStore(file).GetString("name"), "caf\xC3\xA9 \xEF\xBF\xBD");
  nlohmann::json written = nlohmann::json::parse(ReadFile(file));
  written.erase("name");
  EXPECT_EQ(written,
            nlohmann::json({{"UUID", "abc"}, {"password", 4321}, {"passwordCheck", true}}));
}

TEST(FileSettingsStore, SeesAndKeepsChangesOfAnotherProcess) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "settings.json";
  FileSettingsStore server(file);
  server.SetString("UUID", "server-id");
  EXPECT_FALSE(server.GetBool("passwordCheck"));

  FileSettingsStore commandLine(file);  // the `password on` of another process
  commandLine.SetBool("passwordCheck", true);
  commandLine.SetInteger("password", 2468);

  EXPECT_TRUE(server.GetBool("passwordCheck"));
  EXPECT_EQ(server.GetInteger("password"), 2468);

  // A later write of the server merges with, and does not undo, the other change.
  server.SetInteger("password", 1357);
  FileSettingsStore check(file);
  EXPECT_TRUE(check.GetBool("passwordCheck"));
  EXPECT_EQ(check.GetInteger("password"), 1357);
  EXPECT_EQ(check.GetString("UUID"), "server-id");
}

TEST(FileSettingsStore, FailedWriteLeavesTheOldFileWhole) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "settings.json";
  FileSettingsStore store(file);
  store.SetInteger("password", 1111);
  std::string before = ReadFile(file);

  // Writes beyond 64 bytes now fail (EFBIG), as when the disk fills up.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  store.SetString("UUID", std::string(200, 'u'));
  bool synced = store.Synchronize();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(synced);
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(FolderNames(temp.path()), std::vector<std::string>{"settings.json"});  // no leftovers
  EXPECT_EQ(FileSettingsStore(file).GetInteger("password"), 1111);
  EXPECT_EQ(store.GetString("UUID"), std::string(200, 'u'));  // still pending here

  EXPECT_TRUE(store.Synchronize());
  EXPECT_EQ(FileSettingsStore(file).GetString("UUID"), std::string(200, 'u'));
}

TEST(FileSettingsStore, FileThatIsNotJsonReadsAsEmptyAndIsReplacedOnlyByAWrite) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "settings.json";
  WriteFile(file, "{\"password\": 12");  // cut off
  FileSettingsStore store(file);
  EXPECT_EQ(store.GetInteger("password"), 0);
  EXPECT_FALSE(store.GetBool("passwordCheck"));
  EXPECT_TRUE(store.Synchronize());  // nothing to write
  EXPECT_EQ(ReadFile(file), "{\"password\": 12");

  store.SetBool("passwordCheck", true);
  EXPECT_EQ(nlohmann::json::parse(ReadFile(file)), nlohmann::json({{"passwordCheck", true}}));

  WriteFile(file, "[1, 2]");  // valid JSON, but not an object
  EXPECT_FALSE(store.GetBool("passwordCheck"));
}

TEST(FileSettingsStore, ReadsWhileAnotherThreadWrites) {
  TempDir temp;
  FileSettingsStore store(temp.path() / "settings.json");
  std::thread writer([&store] {
    for (int i = 1; i <= 20; ++i) store.SetInteger("password", 1000 + i);
  });
  int64_t last = 0;
  bool ordered = true;
  for (int i = 0; i < 200; ++i) {
    int64_t now = store.GetInteger("password");
    if (now < last || (now != 0 && (now < 1001 || now > 1020))) ordered = false;
    last = now;
  }
  writer.join();
  EXPECT_TRUE(ordered);
  EXPECT_EQ(store.GetInteger("password"), 1020);
}

}  // namespace
}  // namespace hovra::platform::posix
