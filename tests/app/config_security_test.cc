#include "app/config_security.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

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
  rlimit low = saved;
  low.rlim_cur = 256;
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
