// Modal alerts: the texts and buttons as given, each answer, and the application's two
// alerts (the update offer, the quit question) answered through the tray.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/document_store.h"
#include "app/update_check.h"
#include "tests/qt/tray_fixture.h"

namespace hovra::testing {
namespace {

struct AnswerCase {
  const char* click;  // empty: Escape
  int expected;
};

class AlertsTest : public TrayFixture {};

TEST_F(AlertsTest, EachButtonAndEscapeGiveTheirAnswer) {
  for (const AnswerCase& c : {AnswerCase{"Yes", 1000}, AnswerCase{"Maybe", 1001},
                              AnswerCase{"No", 1002}, AnswerCase{"", 1002}}) {
    SeenAlert seen;
    AnswerNextAlert(c.click, seen);
    EXPECT_EQ(ui_.RunAlert("Go on?", "It matters.", {"Yes", "Maybe", "No"}), c.expected) << c.click;
    EXPECT_EQ(seen.title, "Hovra Server");
    EXPECT_EQ(seen.text, "Go on?");
    EXPECT_EQ(seen.informative, "It matters.");
    EXPECT_EQ(seen.buttons, (QStringList{"Yes", "Maybe", "No"}));
  }
}

TEST_F(AlertsTest, UpdateAlertOpensTheInstallerOnOkOnly) {
  const char* message = "Hovra Server new version 1.10 found, please download and install it.";
  SeenAlert seen;
  AnswerNextAlert("Cancel", seen);
  app::showUpdatedialog("1.10");
  EXPECT_EQ(seen.text, message);
  EXPECT_EQ(seen.buttons, (QStringList{"OK", "Cancel"}));
  EXPECT_EQ(platform_.Take(), Lines{}) << "Cancel opens nothing";

  AnswerNextAlert("OK", seen);
  app::showUpdatedialog("1.10");
  EXPECT_EQ(platform_.Take(),
            Lines{std::string(R"({"kind":"openURL","url":")") + app::kInstallerPackageUrl + "\"}"});
}

TEST_F(AlertsTest, QuitQuestionAfterAFailedSaveDecidesTheQuit) {
  namespace fs = std::filesystem;
  fs::path folder = fs::path(dir_) / "store";
  app::DocumentStore store(folder);
  ASSERT_TRUE(store.managedObjectContext());
  store.NoteEdit();
  fs::remove(folder / app::kStoreFileName);
  fs::create_directory(folder / app::kStoreFileName);  // the save cannot write here

  for (const AnswerCase& c : {AnswerCase{"Cancel", app::kTerminateCancel},
                              AnswerCase{"Quit anyway", app::kTerminateNow}}) {
    SeenAlert error;
    SeenAlert question;
    AnswerAlerts({{"OK", &error}, {c.click, &question}});  // the save's error comes first
    EXPECT_EQ(store.applicationShouldTerminate(), c.expected) << c.click;
    EXPECT_EQ(error.buttons, (QStringList{"OK"}));
    EXPECT_EQ(question.text, "Could not save changes while quitting. Quit anyway?");
    EXPECT_EQ(question.informative,
              "Quitting now will lose any changes you have made since the last successful save");
    EXPECT_EQ(question.buttons, (QStringList{"Quit anyway", "Cancel"}));
  }
}

}  // namespace
}  // namespace hovra::testing
