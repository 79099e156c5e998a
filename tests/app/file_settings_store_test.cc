#include "platform/posix/file_settings_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/password.h"
#include "tests/app/shell_test_support.h"

namespace hovra::platform::posix {
namespace {

using hovra::testing::ReadFile;
using hovra::testing::SortedNames;
using hovra::testing::TempDir;
using hovra::testing::WriteFile;

TEST(FileSettingsStore, KeepsTypesAndMergesWithTheChangesOfAnotherProcess) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "sub" / "settings.json";
  FileSettingsStore server(file);
  EXPECT_EQ(server.GetString("UUID"), std::nullopt);
  EXPECT_EQ(server.GetInteger("password"), 0);
  EXPECT_FALSE(server.GetBool("passwordCheck"));
  server.SetString("UUID", "abc");

  FileSettingsStore commandLine(file);  // the `password on` of another process
  commandLine.SetBool("passwordCheck", true);
  commandLine.SetInteger("password", 2468);
  EXPECT_TRUE(server.GetBool("passwordCheck"));
  EXPECT_EQ(server.GetInteger("password"), 2468);
  server.SetInteger("password", 4321);  // merges with, and does not undo, the other change
  EXPECT_TRUE(server.Synchronize());

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
  const rlimit small{64, saved.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  store.SetString("UUID", std::string(200, 'u'));
  bool synced = store.Synchronize();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(synced);
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(SortedNames(temp.path()), std::vector<std::string>{"settings.json"});  // no leftovers
  EXPECT_EQ(FileSettingsStore(file).GetInteger("password"), 1111);
  EXPECT_EQ(store.GetString("UUID"), std::string(200, 'u'));  // still pending here

  EXPECT_TRUE(store.Synchronize());
  EXPECT_EQ(FileSettingsStore(file).GetString("UUID"), std::string(200, 'u'));
}

struct Unusable {
  const char* label;
  std::function<void(const std::filesystem::path&)> make;
  const char* problem;
};

SettingsGuard FreshPinGuard(std::vector<SettingsRecovery>& reports) {
  SettingsGuard guard;
  guard.types = {{"UUID", SettingsGuard::Type::kString},
                 {"password", SettingsGuard::Type::kInteger},
                 {"passwordCheck", SettingsGuard::Type::kBoolean}};
  guard.freshValues = [] { return nlohmann::json{{"passwordCheck", true}, {"password", 4321}}; };
  guard.report = [&reports](const SettingsRecovery& r) { reports.push_back(r); };
  return guard;
}

TEST(FileSettingsStore, AnUnusableFileIsKeptAsideAndProtectionGoesOnWithFreshValues) {
  auto text = [](std::string content) {
    return [content](const std::filesystem::path& file) { WriteFile(file, content); };
  };
  const Unusable cases[] = {
      {"cut short", text(R"({"UUID": "u", "password": 12)"), "it is not JSON"},
      {"empty", text(""), "it is not JSON"},
      {"no object", text("[1, 2]"), "it holds no JSON object"},
      {"nested 30,000 deep", text(std::string(30000, '[') + std::string(30000, ']')),
       "nested more than 64 levels"},
      {"wrong type", text(R"({"passwordCheck": "yes", "password": 1234})"),
       "\"passwordCheck\" is not true or false"},
      {"too large", text("{" + std::string(kMaxSettingsBytes, ' ') + "}"), "larger than"},
      {"a folder", [](const auto& file) { std::filesystem::create_directory(file); },
       "it is a folder"},
      {"a FIFO", [](const auto& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
       "it is a named pipe"},
  };
  for (const Unusable& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir temp;
    std::filesystem::path file = temp.path() / "settings.json";
    c.make(file);
    const auto typeBefore = std::filesystem::symlink_status(file).type();
    std::string before = std::filesystem::is_regular_file(file) ? ReadFile(file) : "";
    std::vector<SettingsRecovery> reports;
    FileSettingsStore store(file, FreshPinGuard(reports));

    ASSERT_EQ(reports.size(), 1u);
    const SettingsRecovery& r = reports[0];
    EXPECT_NE(r.problem.find(c.problem), std::string::npos) << r.problem;
    EXPECT_TRUE(r.written) << r.writeError;
    ASSERT_FALSE(r.keptAs.empty()) << r.keepError;
    EXPECT_EQ(r.keptAs.parent_path(), temp.path());
    EXPECT_EQ(r.keptAs.filename().string().rfind("settings.json.unreadable-", 0), 0u);
    EXPECT_EQ(std::filesystem::symlink_status(r.keptAs).type(), typeBefore) << "moved, not copied";
    if (typeBefore == std::filesystem::file_type::regular) {
      EXPECT_EQ(ReadFile(r.keptAs), before) << "kept as it was";
    }
    EXPECT_TRUE(store.GetBool("passwordCheck"));
    EXPECT_EQ(store.GetInteger("password"), 4321);
    EXPECT_EQ(nlohmann::json::parse(ReadFile(file)),
              nlohmann::json({{"passwordCheck", true}, {"password", 4321}}));
    EXPECT_EQ(reports.size(), 1u) << "reading again does not recover again";

    // Spoiled again while running: the next read fails closed, the copy named apart.
    std::filesystem::remove(file);
    c.make(file);
    EXPECT_EQ(store.GetInteger("password"), 4321);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[1].keptAs, reports[0].keptAs);
    EXPECT_TRUE(std::filesystem::exists(reports[0].keptAs));
  }
}

TEST(FileSettingsStore, APinChangeReachesTheFileAsOneReplacement) {
  TempDir temp;
  std::filesystem::path file = temp.path() / "settings.json";
  FileSettingsStore store(file);
  store.SetString("UUID", "id");
  int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify, 0);
  // Each replacement writes a temporary file of its own first: count their creations.
  ASSERT_GE(::inotify_add_watch(inotify, temp.path().c_str(), IN_CREATE), 0);
  auto replacements = [inotify] {
    int count = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(inotify, buffer, sizeof buffer)) > 0;) {
      for (char* p = buffer; p < buffer + n;
           p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
        ++count;
    }
    return count;
  };
  {
    // `password on`: an interruption never leaves the old PIN with protection on.
    hovra::testing::ScopedServices use(&store);
    EXPECT_TRUE(app::SetPasswordProtection(true).saved);
  }
  EXPECT_EQ(replacements(), 1);
  EXPECT_TRUE(FileSettingsStore(file).GetBool("passwordCheck"));
  store.SetBool("passwordCheck", false);
  store.SetInteger("password", 1111);
  EXPECT_EQ(replacements(), 2) << "one by one, for comparison";
  ::close(inotify);
  EXPECT_EQ(nlohmann::json::parse(ReadFile(file)),
            nlohmann::json({{"UUID", "id"}, {"passwordCheck", false}, {"password", 1111}}));
}

TEST(FileSettingsStore, PrivateFilesAndNoLeftoversOfInterruptedWrites) {
  TempDir temp;
  std::filesystem::path folder = temp.path() / "new" / "HovraServer";
  std::filesystem::path file = folder / "settings.json";
  FileSettingsStore(file).SetInteger("password", 1234);
  EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);

  // What a write killed between its temporary file and the rename leaves: a PIN.
  WriteFile(folder / "settings.json.Ab12Cd", R"({"password": 1234})");
  WriteFile(folder / "settings.json.Xy34Zw", R"({"password": 1234})");
  WriteFile(folder / "settings.json.unreadable-20240101-120000", "{");
  timespec old[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "settings.json.Ab12Cd").c_str(), old, 0), 0);
  FileSettingsStore restarted(file);
  EXPECT_EQ(SortedNames(folder),
            (std::vector<std::string>{"settings.json", "settings.json.Xy34Zw",
                                      "settings.json.unreadable-20240101-120000"}))
      << "an old leftover goes; one that may belong to a write going on stays";
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
