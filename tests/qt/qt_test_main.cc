// GoogleTest with a QApplication on the offscreen platform: every window, menu and alert
// of the tray is made and driven without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  std::setlocale(LC_ALL, "C");  // as the program keeps it
  return RUN_ALL_TESTS();
}
