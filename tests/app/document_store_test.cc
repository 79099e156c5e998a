#include "app/document_store.h"

#include <gtest/gtest.h>

#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;

struct DocumentStoreTest : testing::UiTest {
  fs::path folder_ = temp_.path() / "Library" / "HovraServer";
};

TEST_F(DocumentStoreTest, FirstUseMakesFolderAndStoreAndQuitsWithoutChanges) {
  DocumentStore store(folder_);
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateNow);
  EXPECT_FALSE(fs::exists(folder_)) << "a quit right after the start builds nothing";
  ASSERT_TRUE(store.managedObjectContext());
  EXPECT_TRUE(fs::is_regular_file(folder_ / "HovraServer.storedata"));
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateNow);
  store.NoteEdit();
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateNow);  // saved on the way out
  EXPECT_TRUE(ui_.alerts.empty());
}

TEST_F(DocumentStoreTest, FileWhereTheFolderShouldBeGivesBothErrorsAndRetries) {
  fs::create_directories(folder_.parent_path());
  testing::WriteFile(folder_, "not a folder");
  DocumentStore store(folder_);
  EXPECT_FALSE(store.managedObjectContext());
  ASSERT_EQ(ui_.alerts.size(), 2u);
  EXPECT_EQ(ui_.alerts[0].message, "Expected a folder to store application data, found a file (" +
                                       folder_.string() + ").");
  EXPECT_EQ(ui_.alerts[1].message, "Failed to initialize the store");
  EXPECT_EQ(ui_.alerts[1].informative, "There was an error building up the data file.");
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateNow);

  EXPECT_FALSE(store.managedObjectContext());  // a failed build is tried again
  EXPECT_EQ(ui_.alerts.size(), 4u);
  fs::remove(folder_);
  EXPECT_TRUE(store.managedObjectContext());
  EXPECT_TRUE(fs::exists(folder_ / "HovraServer.storedata"));
}

TEST_F(DocumentStoreTest, FailedSaveAtQuitAsksTheUser) {
  DocumentStore store(folder_);
  ASSERT_TRUE(store.managedObjectContext());
  store.NoteEdit();
  fs::remove(folder_ / "HovraServer.storedata");
  fs::create_directory(folder_ / "HovraServer.storedata");  // the save cannot write here

  ui_.answer = 1001;  // "Cancel"
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateCancel);
  ASSERT_EQ(ui_.alerts.size(), 2u);  // the save's error, then the question
  EXPECT_EQ(ui_.alerts[1].message, "Could not save changes while quitting. Quit anyway?");
  EXPECT_EQ(ui_.alerts[1].informative,
            "Quitting now will lose any changes you have made since the last successful save");
  EXPECT_EQ(ui_.alerts[1].buttons, (std::vector<std::string>{"Quit anyway", "Cancel"}));

  ui_.answer = 1000;  // "Quit anyway"
  EXPECT_EQ(store.applicationShouldTerminate(), kTerminateNow);
}

}  // namespace
}  // namespace hovra::app
