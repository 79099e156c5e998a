#include "actions/files_and_apps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ranges>
#include <set>

#include "actions/dock_queries.h"
#include "tests/catalogue/catalogue_fixture.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

// The listing as a set of "d..." / "f..." entries, each ended by '\r', the last by "\r\n".
std::set<std::string> Entries(const std::string& listing) {
  EXPECT_THAT(listing, ::testing::EndsWith("\r\n"));
  std::set<std::string> entries;
  for (const auto& part :
       std::views::split(std::string_view(listing).substr(0, listing.size() - 2), '\r')) {
    std::string entry(part.begin(), part.end());
    EXPECT_THAT(entry, ::testing::MatchesRegex("[df].*"));
    EXPECT_TRUE(entries.insert(entry).second) << "listed twice: " << entry;
  }
  return entries;
}

class FolderListingTest : public ::testing::Test {
 protected:
  FolderListingTest() : platform_(R"({"home":")" + folder_.path().string() + R"("})") {
    fs::create_directory(folder_ / "Docs");
    WriteFile(folder_ / "a.txt", "a");
    WriteFile(folder_ / ".profile", "p");
    fs::create_directory_symlink(folder_ / "Docs", folder_ / "DocsLink");
    fs::create_symlink(folder_ / "a.txt", folder_ / "fileLink");
    fs::create_symlink(folder_ / "gone", folder_ / "dangling");
  }
  std::string List(const std::string& path) {
    std::string out;
    actions::browseFile(path.c_str(), out);
    return out;
  }

  TempDir folder_;
  TestPlatform platform_;
  const std::set<std::string> expected_ = {"dDocs",     "fa.txt",    "f.profile",
                                           "dDocsLink", "ffileLink", "fdangling"};
};

// Another user's home ("~Docs") is not looked up; what cannot be listed gives a line feed.
TEST_F(FolderListingTest, MarksFoldersAndLinksToFoldersListsHiddenNamesAndExpandsTheTilde) {
  for (const std::string& home : {folder_.path().string(), std::string("~"), std::string("~/")})
    EXPECT_EQ(Entries(List(home)), expected_) << home;
  EXPECT_EQ(List((folder_ / "Docs")), "\n");
  WriteFile(folder_ / "Docs/inner", "");
  WriteFile(folder_ / "Docs/bad\nname", "");  // names with line breaks are left out
  EXPECT_EQ(List("~/Docs"), "finner\r\n");
  for (const std::string& path :
       {std::string("~Docs"), folder_ / "missing", folder_ / "a.txt", std::string()})
    EXPECT_EQ(List(path), "\n") << path;
}

TEST_F(FolderListingTest, CutsAnOverlongListingAfterTheLastWholeEntry) {
  std::set<std::string> created;
  for (int i = 0; i < 300; ++i) {
    std::string name = std::to_string(1000 + i) + std::string(240, 'n');
    WriteFile(folder_ / ("Docs/" + name), "");
    created.insert("f" + name);
  }
  std::string listing = List((folder_ / "Docs"));
  EXPECT_LT(listing.size(), actions::kFolderListingBytes);
  EXPECT_GT(listing.size(), actions::kFolderListingBytes - 250);
  std::set<std::string> listed = Entries(listing);
  EXPECT_LT(listed.size(), created.size());
  for (const std::string& entry : listed) EXPECT_TRUE(created.contains(entry)) << entry;
}

TEST_F(FolderListingTest, OpensFilesThroughFinderWithThePathQuoted) {
  actions::LaunchFile("~/say \"hi\" \\ there.txt");
  EXPECT_EQ(
      platform_.Take(),
      (Lines{
          R"({"kind":"script","name":"OpenFile.Finder","source":"tell application \"Finder\" to open POSIX file \")" +
          folder_.path().string() + R"(/say \\\"hi\\\" \\\\ there.txt\""})"}));
}

// A main queue that has stopped: it refuses all work.
class StoppedQueue : public ManualMainQueue {
 public:
  bool RunAndWait(std::function<void()>) override { return false; }
};

class DockQueriesTest : public ::testing::Test {
 protected:
  void Start(const std::vector<Tile>& tiles) {
    WriteDockPlist(folder_ / "dock.plist", tiles, PlistForm::kBinary);
    WritePng(folder_ / "mail.png", SolidImage(64, 64, {1, 1, 1, 255}));
    env_ = std::make_unique<CatalogueEnvironment>(
        R"({"dockPlist":")" + (folder_ / "dock.plist") +
        R"(","installed":{"com.apple.mail":"/Applications/Mail.app"},)"
        R"("icons":{"/Applications/Mail.app":[")" +
        (folder_ / "mail.png") + R"("]}})");
  }

  TempDir folder_;
  std::unique_ptr<CatalogueEnvironment> env_;
};

TEST_F(DockQueriesTest, AppendsTheWholeDescriptionOrAnEmptyListAndALineFeed) {
  std::vector<Tile> tiles;
  std::string expected = "[";
  for (int i = 0; i < 120; ++i) {  // far beyond 4096 bytes
    std::string id = "org.example.application" + std::to_string(i);
    tiles.push_back({"Application " + std::to_string(i), id});
    if (i) expected += ',';
    expected += R"({"Name":"Application )" + std::to_string(i) + R"(","BundleID":")" + id +
                R"(","Running":false})";
  }
  Start(tiles);
  std::string reply = "dock_info ";
  actions::GetDockInfo(reply);
  EXPECT_GT(reply.size(), 4096u);
  EXPECT_EQ(reply, "dock_info " + expected + "]\n");
  env_.reset();
  CatalogueEnvironment withoutDock(R"({"dockPlist":"/nonexistent.plist"})");
  reply = "dock_info ";
  actions::GetDockInfo(reply);
  EXPECT_EQ(reply, "dock_info []\n") << "an empty list without a Dock";
}

TEST_F(DockQueriesTest, FetchesIconsAndLaunchesThroughTheCatalogueWhileTheMainThreadRuns) {
  Start({{"Mail", "com.apple.mail"}});
  std::vector<char> buffer(catalogue::kIconBufferBytes);
  EXPECT_FALSE(
      actions::GetIconForApp("com.apple.mail", buffer.data()));  // icons never build the list
  env_->Catalogue().getDockInfo();
  EXPECT_FALSE(actions::GetIconForApp("org.unknown", buffer.data()));
  ASSERT_TRUE(actions::GetIconForApp("com.apple.mail", buffer.data()));
  EXPECT_TRUE(std::string(buffer.data())
                  .starts_with("icon com.apple.mail png iVBORw0KGgo"));  // PNG signature
  env_->Platform().Take();
  actions::LauchApp("org.unknown");
  actions::LauchApp("com.apple.mail");  // the script is the catalogue tests'
  EXPECT_EQ(env_->Platform().Take().size(), 1u);

  // Once the main thread has stopped, nothing goes through the catalogue.
  StoppedQueue stopped;
  platform::Services services = platform::Current();
  services.mainQueue = &stopped;
  platform::Services previous = platform::Install(services);
  std::string reply;
  actions::GetDockInfo(reply);
  buffer.assign(catalogue::kIconBufferBytes, 'x');
  bool gotIcon = actions::GetIconForApp("com.apple.mail", buffer.data());
  actions::LauchApp("com.apple.mail");
  platform::Install(previous);
  EXPECT_EQ(reply, "[]\n");
  EXPECT_FALSE(gotIcon);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_TRUE(env_->Platform().Take().empty());
}

}  // namespace
}  // namespace hovra::testing
