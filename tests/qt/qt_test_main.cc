// GoogleTest with a QApplication on the offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>

namespace {

// What the offscreen platform cannot do for a window (raise it, host a tray) is not shown.
QtMessageHandler g_standardHandler = nullptr;

void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains("does not support") || text.contains("systemTrayWindowChanged")) return;
  g_standardHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  g_standardHandler = qInstallMessageHandler(QuietOffscreen);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  std::setlocale(LC_ALL, "C");  // as the program keeps it
  return RUN_ALL_TESTS();
}
