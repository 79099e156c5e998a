#include "app/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "app/config_security.h"
#include "app/password.h"
#include "platform/posix/file_settings_store.h"
#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct ConfigFileTest : ::testing::Test {
  void SetUp() override { ResetHovraSvrCfgForTesting(); }
  void TearDown() override { ResetHovraSvrCfgForTesting(); }
  TempDir temp_;
};

TEST_F(ConfigFileTest, AFreshFolderGetsSixteenZeroBytesAndWhatIsThereIsOnlyRead) {
  testing::TestPlatform platform;
  fs::path folder = temp_.path() / "a" / "HovraServer";
  LoadOrCreateConfigFile(folder);
  EXPECT_EQ(ReadFile(folder / "HovraServer.cfg"), std::string(16, '\0'));
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(HovraSvrCfg(), ConfigBlock{});

  fs::path file = temp_.path() / "HovraServer.cfg";
  WriteFile(file, "0123456789abcdefEXTRA");
  const auto written = fs::last_write_time(file);
  LoadOrCreateConfigFile(temp_.path());
  EXPECT_EQ(ReadFile(file), "0123456789abcdefEXTRA");
  EXPECT_EQ(fs::last_write_time(file), written);
  EXPECT_EQ(std::string(HovraSvrCfg().begin(), HovraSvrCfg().end()), "0123456789abcdef");

  // Not a file: left as it is, and never opened (a FIFO would wait for a writer).
  fs::remove(file);
  ResetHovraSvrCfgForTesting();
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  LoadOrCreateConfigFile(temp_.path());
  EXPECT_TRUE(fs::is_fifo(file));
  EXPECT_EQ(HovraSvrCfg(), ConfigBlock{});
}

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

TEST(ConfigFolder, IsMadePrivateOrRefusedWithTheWayOutWhenOthersCanChangeIt) {
  struct Case {
    const char* what;
    const char* path;  // relative to the configuration folder; "" is the folder itself
    mode_t mode;
    bool refused;
  };
  const Case cases[] = {
      {"private folder", "", 0700, false},
      {"readable folder", "", 0755, false},
      {"world-writable folder", "", 0777, true},
      {"group-writable folder", "", 0770, true},
      {"world-writable settings", "settings.json", 0666, true},
      {"group-writable configuration file", "HovraServer.cfg", 0620, true},
      {"readable settings", "settings.json", 0644, false},
  };
  TempDir missing;
  EXPECT_EQ(CheckConfigFolder(missing.path() / "xdg" / "HovraServer"), "");
  for (const fs::path& made : {missing.path() / "xdg" / "HovraServer", missing.path() / "xdg"})
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << "made private: " << made;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir temp;
    fs::path folder = temp.path() / "HovraServer";
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0700);  // whatever this machine's umask
    fs::path target = *c.path != '\0' ? folder / c.path : folder;
    if (*c.path != '\0') WriteFile(target, "{}");
    ASSERT_EQ(::chmod(target.c_str(), c.mode), 0);
    std::string problem = CheckConfigFolder(folder);
    if (!c.refused) {
      EXPECT_EQ(problem, "");
      continue;
    }
    EXPECT_NE(problem.find(target.string() + " can be changed by other users"), std::string::npos)
        << problem;
    EXPECT_NE(problem.find("chmod go-w '" + target.string() + "'"), std::string::npos) << problem;
  }
}

TEST(DescriptorLimit, IsRaisedToTheHardLimit) {
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  if (saved.rlim_max < 512) GTEST_SKIP() << "hard descriptor limit too low to lower the soft one";
  const rlimit low{256, saved.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  RaiseDescriptorLimit();
  rlimit now{};
  ::getrlimit(RLIMIT_NOFILE, &now);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_GT(now.rlim_cur, 256u);
  EXPECT_TRUE(now.rlim_cur == saved.rlim_max || now.rlim_cur == 10240u) << now.rlim_cur;
}

}  // namespace
}  // namespace hovra::app
