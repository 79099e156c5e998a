// hovra_screenshots OUTDIR: draws the tray's status menu, windows, alerts, panel and icon
// to PNG files on Qt's offscreen platform, with the program's own code and sample facts.
// Run by scripts/screenshots.sh (make screenshots); the README shows the pictures.
#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyleFactory>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/shell_bindings.h"
#include "app/update_check.h"
#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/qt/alert.h"
#include "platform/qt/product_icon.h"
#include "platform/qt/tray_ui.h"

namespace hovra {
namespace {

constexpr char kSim[] = R"({"addresses":["192.168.1.5","fe80::1c2d:3eff:fe4f:5a6b","127.0.0.1"]})";

bool Save(const QPixmap& picture, const QString& dir, const char* name) {
  QString path = dir + "/" + name + ".png";
  bool saved = picture.save(path, "PNG");
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toUtf8().constData());
  return saved;
}

QPixmap Grab(QWidget& window) {
  window.show();
  window.adjustSize();
  QApplication::processEvents();
  return window.grab();
}

QAction* Find(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions()) {
    if (action->text().replace("&&", "&") == title) return action;
  }
  return nullptr;
}

// The menu with "Taplume apps" and its "iPhone & iPod Touch" submenu open beside it.
QPixmap MenuPicture(QMenu& menu) {
  Q_EMIT menu.aboutToShow();  // the check mark as it would be when opened
  QMenu* apps = Find(menu, "Taplume apps")->menu();
  QMenu* iphone = Find(*apps, "iPhone & iPod Touch")->menu();
  menu.setActiveAction(Find(menu, "Taplume apps"));  // drawn highlighted, as when open
  apps->setActiveAction(Find(*apps, "iPhone & iPod Touch"));
  QPixmap parts[] = {Grab(menu), Grab(*apps), Grab(*iphone)};
  QPoint at[] = {
      {0, 0}, {parts[0].width() - 4, menu.actionGeometry(Find(menu, "Taplume apps")).y()}, {0, 0}};
  at[2] = {at[1].x() + parts[1].width() - 4,
           at[1].y() + apps->actionGeometry(Find(*apps, "iPhone & iPod Touch")).y()};
  QPixmap picture(at[2].x() + parts[2].width(),
                  std::max(parts[0].height(), at[2].y() + parts[2].height()));
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  for (int i = 0; i < 3; ++i) painter.drawPixmap(at[i], parts[i]);
  return picture;
}

// The icon at the sizes panels use, on a light and on a dark panel.
QPixmap IconPicture() {
  const int sizes[] = {16, 22, 24, 32, 48};
  const int gap = 12;
  int width = gap;
  for (int size : sizes) width += size + gap;
  QPixmap picture(width, 2 * (48 + 2 * gap));
  QPainter painter(&picture);
  const QColor panels[] = {QColor("#f2f2f2"), QColor("#2b2b2b")};
  for (int row = 0; row < 2; ++row) {
    int top = row * (48 + 2 * gap);
    painter.fillRect(0, top, width, 48 + 2 * gap, panels[row]);
    int x = gap;
    for (int size : sizes) {
      painter.drawPixmap(x, top + gap + (48 - size) / 2, platform::qt::ProductPixmap(size));
      x += size + gap;
    }
  }
  return picture;
}

// Runs the program's own alert and takes its picture before answering it.
QPixmap AlertPicture(std::string_view message, std::string_view informative,
                     const std::vector<std::string_view>& buttons) {
  QPixmap picture;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    picture = box->grab();
    box->buttons().back()->click();
  });
  platform::qt::RunAlert(message, informative, buttons);
  return picture;
}

platform::ShellBindings SampleShell() {
  app::ShellSources sources;
  sources.menu.isAutoRun = [] { return true; };
  sources.addressList = [] { return std::string("  192.168.1.5\n  fe80::1c2d:3eff:fe4f:5a6b\n"); };
  sources.port = [] { return 1978u; };
  sources.connectedPhones = [] { return std::vector<std::string>{"192.168.1.23"}; };
  sources.inputBackend = "x11";
  sources.desktopBackend = "linux";
  return app::BindShell(std::move(sources));
}

int Draw(const QString& dir) {
  platform::journal::JournalBackend desktop(platform::journal::JournalWriter::Discarding(),
                                            platform::journal::SimConfig::Parse(kSim));
  platform::MemorySettingsStore settings;
  settings.SetBool("passwordCheck", true);
  settings.SetInteger("password", 4827);
  platform::qt::TrayUi ui;
  platform::Services services;
  desktop.Provide(services);
  services.settings = &settings;
  services.ui = &ui;
  platform::Install(services);
  ui.AttachShell(SampleShell());

  bool ok = Save(MenuPicture(*ui.Menu()), dir, "menu");
  ok = Save(IconPicture(), dir, "icon") && ok;
  ui.ShowAboutWindow();
  ok = Save(Grab(*ui.About()), dir, "about") && ok;
  ui.ShowAddressWindow();
  ok = Save(Grab(*ui.Addresses()), dir, "addresses") && ok;
  ui.ShowPasswordWindow();
  ok = Save(Grab(*ui.Password()), dir, "password") && ok;
  app::showNoVersionDialog();
  ok = Save(Grab(*ui.Message()), dir, "no-new-version") && ok;
  ui.ShowNotificationPanel("  192.168.1.5\n  fe80::1c2d:3eff:fe4f:5a6b\n", "");
  ok = Save(Grab(ui.Panel()), dir, "panel") && ok;
  ok = Save(AlertPicture(app::UpdateMessage("1.1.0"),
                         std::string("Installer: ") + app::kInstallerPackageUrl, {"OK", "Cancel"}),
            dir, "update-alert") &&
       ok;
  ok = Save(AlertPicture("Could not save changes while quitting. Quit anyway?",
                         "Quitting now will lose any changes you have made since the last "
                         "successful save",
                         {"Quit anyway", "Cancel"}),
            dir, "quit-alert") &&
       ok;
  platform::Install({});
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace hovra

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hovra_screenshots OUTDIR\n");
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "C");
  // The same look on every machine: Qt's own style and the DejaVu font.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QApplication::setFont(QFont("DejaVu Sans", 10));
  return hovra::Draw(QString::fromLocal8Bit(argv[1]));
}
