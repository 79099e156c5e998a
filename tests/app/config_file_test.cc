#include "app/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "app/password.h"
#include "platform/posix/file_settings_store.h"
#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetHovraSvrCfgForTesting(); }
  void TearDown() override { ResetHovraSvrCfgForTesting(); }
  TempDir temp_;
};

TEST_F(ConfigFileTest, AFreshFolderGetsSixteenZeroBytesAndWhatIsThereIsOnlyRead) {
  testing::TestPlatform platform;
  std::filesystem::path folder = temp_.path() / "a" / "HovraServer";
  LoadOrCreateConfigFile(folder);
  EXPECT_EQ(ReadFile(folder / "HovraServer.cfg"), std::string(16, '\0'));
  EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
  EXPECT_EQ(HovraSvrCfg(), ConfigBlock{});

  std::filesystem::path file = temp_.path() / "HovraServer.cfg";
  WriteFile(file, "0123456789abcdefEXTRA");
  const auto written = std::filesystem::last_write_time(file);
  LoadOrCreateConfigFile(temp_.path());
  EXPECT_EQ(ReadFile(file), "0123456789abcdefEXTRA");
  EXPECT_EQ(std::filesystem::last_write_time(file), written);
  EXPECT_EQ(std::string(HovraSvrCfg().begin(), HovraSvrCfg().end()), "0123456789abcdef");

  // Not a file: left as it is, and never opened (a FIFO would wait for a writer).
  std::filesystem::remove(file);
  ResetHovraSvrCfgForTesting();
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  LoadOrCreateConfigFile(temp_.path());
  EXPECT_TRUE(std::filesystem::is_fifo(file));
  EXPECT_EQ(HovraSvrCfg(), ConfigBlock{});
}

// Sets an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* saved = std::getenv(name);
    if (saved) saved_ = saved;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST_F(ConfigFileTest, FolderComesFromOverrideThenXdgThenTheRealHome) {
  // A simulated desktop's home is a fact for its clients, never where the PIN is kept.
  testing::TestPlatform platform(R"({"home":"/simulated/home"})");
  ScopedEnv home("HOME", "/home/joe");
  ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(ConfigFolder(std::nullopt), "/home/joe/.config/HovraServer");
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(ConfigFolder(std::nullopt), "/home/joe/.config/HovraServer");
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(ConfigFolder(std::nullopt), "/xdg/HovraServer");
  EXPECT_EQ(ConfigFolder(std::string("/tmp/mine")), "/tmp/mine");
}

TEST_F(ConfigFileTest, UuidIsMadeOnceAndKeptAcrossStarts) {
  testing::TestPlatform platform;
  static constexpr char kUuid[] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
  int made = 0;
  auto maker = [&made] {
    ++made;
    return std::string(kUuid);
  };
  for (int start = 1; start <= 2; ++start) {
    platform::posix::FileSettingsStore store(temp_.path() / "settings.json");
    testing::ScopedServices use(&store);
    EXPECT_EQ(loadConfig(maker), kUuid) << "start " << start;
  }
  EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace hovra::app
