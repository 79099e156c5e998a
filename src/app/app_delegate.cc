#include "app/app_delegate.h"

#include <system_error>

#include "actions/files_and_apps.h"
#include "actions/power.h"
#include "app/address_list.h"
#include "app/config_file.h"
#include "app/login_items.h"
#include "app/password.h"
#include "app/shell_bindings.h"
#include "base/log.h"
#include "base/printable.h"
#include "input/key_names.h"
#include "input/pointer.h"
#include "platform/services.h"
#include "server/notice_hand_over.h"
#include "server/reports.h"
#include "server/security/security_notices.h"
#include "server/system_version.h"

namespace hovra::app {
namespace {

constexpr unsigned kPanelTicks = 5;  // the panel closes on the fifth tick after it showed
// How long quitting waits for a cancelled update check to end before leaving it behind.
constexpr std::chrono::milliseconds kQuitGrace{500};

std::string UpdateUrl(const Options& options) {
  return options.updateUrl.value_or(kUpdateEndpointUrl);
}

}  // namespace

AppDelegate::AppDelegate(const Options& options)
    : options_(options),
      updates_(UpdateUrl(options), platform::GetHost().AppVersion()),
      documents_(ConfigFolder(options.configDir)) {}

AppDelegate::~AppDelegate() {
  applicationWillTerminate();
  catalogue::SysUtil::sharedInstance().stopMonitorDockInfo();
}

bool AppDelegate::applicationDidFinishLaunching() {
  outputScreens();
  FillKeyNameMaps();
  LoadOrCreateConfigFile(ConfigFolder(options_.configDir));
  uuid_ = loadConfig();
  actions::SetUUID(uuid_);
  catalogue::SysUtil::sharedInstance().startMonitorDockInfo(this);
  // The status menu's functions are the shell subcommands on a headless host.
  // The version is read once here, before the server accepts anyone, so that even the
  // first client's greeting names the real version rather than the placeholder.
  SetSystemVersionText(platform::GetHost().OsProductVersion());

  ServerOptions serverOptions;
  serverOptions.discovery.port = options_.discoveryPort;
  serverOptions.discovery.announceTo = options_.announceTo;
  serverOptions.discovery.probeReplyPort = options_.probeReplyPort;
  serverOptions.discovery.announceIntervalMs = kAnnounceIntervalMs / options_.timerDivisor;
  serverOptions.hooks.isPasswordProtection = [] { return isPasswordProtection(); };
  serverOptions.hooks.verifyPassword = [](const char* text, const std::string& from, int wrong) {
    return verifyPassword(text, PinAnswerSource{from, wrong});
  };
  server_ = std::make_unique<CHovraSvrSock>("0.0.0.0", options_.port, std::move(serverOptions));
  if (!server_->IsListening()) return false;
  Log("listening on TCP port %u", server_->ListeningPort());

  platform::GetMainQueue().StartRepeatingTimer(
      std::chrono::milliseconds(1000 / options_.timerDivisor), [this] { onTimer(); });
  RunInBackground([this] {
    std::string list = getIPAddrStr();
    {
      std::lock_guard<std::mutex> lock(addressMutex_);
      global_ip_address_ = list;
    }
    // Started at login (--hidden): the addresses wait in the address window, unannounced.
    if (!options_.hidden) OfferNotice(list, "");
  });
  RunInBackground([this] {
    isautorun_ = autoRunProbe_ ? autoRunProbe_() : LoginItems::ForCurrentUser().isAutoRun();
    updates_.edownloadVersion(false);
  });
  return true;
}

void AppDelegate::RunInBackground(std::function<void()> task) {
  try {
    background_.emplace_back(task);
  } catch (const std::system_error& e) {
    // Without a thread (resources exhausted) the task still has to happen: here and now.
    Log("start-up task runs on the main thread: %s", e.what());
    task();
  }
}

void AppDelegate::WaitForBackgroundTasks() {
  for (std::thread& task : background_) {
    if (task.joinable()) task.join();
  }
  background_.clear();
  updates_.WaitForChecks();
}

bool AppDelegate::applicationWillTerminate() {
  if (server_) server_->Stop();
  // The start-up tasks are short (the update check they start runs apart).
  for (std::thread& task : background_) {
    if (task.joinable()) task.join();
  }
  background_.clear();
  return updates_.StopChecks(kQuitGrace);
}

void AppDelegate::onTimer() {
  platform::UserInterface& ui = platform::GetUi();
  if (_timeCnt != 0 && --_timeCnt == 0 && ui.IsNotificationPanelVisible()) {
    ui.CloseNotificationPanel();
  }
  if (std::optional<std::string> version = updates_.TakeNeedUpdate()) showUpdatedialog(*version);
  if (updates_.TakeNoticeNoNewVersion()) showNoVersionDialog();
  // A notice the user must not miss shows first and for its full time; others wait.
  if (!securityPanel_ || _timeCnt == 0) {
    securityPanel_ = false;
    if (std::optional<std::string> urgent = security::TakeSecurityNotice()) {
      showMsgWindow(*urgent, "");
      securityPanel_ = true;
    } else if (std::optional<Notice> notice = TakeNotice()) {
      showMsgWindow(notice->message, notice->url);
    }
  }
  actions::CarryOutPendingPowerActions();
}

void AppDelegate::showMsgWindow(const std::string& message, const std::string& url) {
  _timeCnt = kPanelTicks;
  platform::GetUi().ShowNotificationPanel(message, url);
}

std::string AppDelegate::AddressList() const {
  std::lock_guard<std::mutex> lock(addressMutex_);
  return global_ip_address_;
}

void AppDelegate::onAutoRun() {
  if (std::optional<bool> on = LoginItems::ForCurrentUser().setLaunchOnLogin()) isautorun_ = *on;
}

bool AppDelegate::RefreshAutoRun() {
  isautorun_ = autoRunProbe_ ? autoRunProbe_() : LoginItems::ForCurrentUser().isAutoRun();
  return isautorun_;
}

platform::ShellBindings AppDelegate::MakeShellBindings(std::function<void()> onExit,
                                                       const std::string& inputBackend,
                                                       const std::string& desktopBackend) {
  ShellSources sources;
  sources.menu.onAutoRun = [this] { onAutoRun(); };
  sources.menu.isAutoRun = [this] { return RefreshAutoRun(); };
  sources.menu.downloadVersion = [this] { downloadVersion(); };
  sources.menu.onExit = std::move(onExit);
  sources.addressList = [this] {
    std::string list = AddressList();
    return list.empty() ? getIPAddrStr() : list;  // asked before the start-up task ended
  };
  sources.port = [this] { return server_ ? server_->ListeningPort() : 0u; };
  sources.connectedPhones = [this] {
    return server_ ? server_->ConnectedPeerAddresses() : std::vector<std::string>{};
  };
  sources.inputBackend = inputBackend;
  sources.desktopBackend = desktopBackend;
  return BindShell(std::move(sources));
}

void AppDelegate::onApplicationLaunch(const std::string& bundleId) {
  Log("%s xxx added", Printable(bundleId).c_str());
  // A line break would let the application's maker write reply lines of their own.
  if (HasLineBreak(bundleId)) {
    static LogOnce s_refused;
    if (s_refused.First()) {
      Log("an application identifier holding a line break is not reported: %s",
          Printable(bundleId).c_str());
    }
    return;
  }
  SetActivatedApp(bundleId);
  if (server_) server_->SendCurrentApplication(bundleId.c_str());
}

}  // namespace hovra::app
