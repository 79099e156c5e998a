#include "platform/linux/apps/desktop_entries.h"

#include <gio/gdesktopappinfo.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/linux/apps/g_owned.h"

namespace hovra::platform::linux_desktop {
namespace {

// Programs that start other programs: their name says nothing about the application.
constexpr std::array<std::string_view, 14> kLaunchers{
    "env",  "sh",   "bash", "flatpak", "snap", "python", "python3",
    "perl", "java", "sudo", "pkexec",  "gjs",  "wine",   "gtk-launch"};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string BaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

DesktopEntry FactsOf(GDesktopAppInfo* info) {
  GAppInfo* app = G_APP_INFO(info);
  DesktopEntry entry;
  entry.id = WithoutDesktopSuffix(Text(g_app_info_get_id(app)));
  entry.name = Text(g_app_info_get_name(app));
  entry.path = Text(g_desktop_app_info_get_filename(info));
  entry.icon = TakeText(g_desktop_app_info_get_string(info, "Icon"));
  entry.startupWmClass = Text(g_desktop_app_info_get_startup_wm_class(info));
  entry.executable = BaseName(Text(g_app_info_get_executable(app)));
  return entry;
}

void OnAppsChanged(GAppInfoMonitor*, gpointer self) {
  static_cast<DesktopEntries*>(self)->Invalidate();
}

}  // namespace

std::string WithoutDesktopSuffix(std::string_view id) {
  constexpr std::string_view kSuffix = ".desktop";
  if (id.ends_with(kSuffix)) id.remove_suffix(kSuffix.size());
  return std::string(id);
}

DesktopEntries::DesktopEntries() {
  monitor_ = g_app_info_monitor_get();
  changedHandler_ = g_signal_connect(monitor_, "changed", G_CALLBACK(OnAppsChanged), this);
}

DesktopEntries::~DesktopEntries() {
  g_signal_handler_disconnect(monitor_, changedHandler_);
  g_object_unref(monitor_);
}

void DesktopEntries::Invalidate() {
  std::lock_guard<std::mutex> lock(mutex_);
  index_.reset();
}

std::shared_ptr<const DesktopEntries::Index> DesktopEntries::Build() {
  auto index = std::make_shared<Index>();
  GList* all = g_app_info_get_all();
  for (GList* it = all; it != nullptr; it = it->next) {
    if (!G_IS_DESKTOP_APP_INFO(it->data)) continue;
    DesktopEntry entry = FactsOf(G_DESKTOP_APP_INFO(it->data));
    if (entry.id.empty() || index->byId.contains(entry.id)) continue;
    const size_t at = index->entries.size();
    index->byId.emplace(entry.id, at);
    index->byLowerId.emplace(Lower(entry.id), at);
    index->byPath.emplace(entry.path, at);
    if (!entry.startupWmClass.empty()) index->byWmClass.emplace(entry.startupWmClass, at);
    const std::string& program = entry.executable;
    if (!program.empty() &&
        std::find(kLaunchers.begin(), kLaunchers.end(), program) == kLaunchers.end()) {
      auto [found, added] = index->byExecutable.emplace(program, at);
      if (!added) found->second.reset();
    }
    index->entries.push_back(std::move(entry));
  }
  g_list_free_full(all, g_object_unref);
  return index;
}

std::shared_ptr<const DesktopEntries::Index> DesktopEntries::Current() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index_) return index_;
  }
  // Built outside the lock: GIO reads the folders, which may take a while.
  std::shared_ptr<const Index> built = Build();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!index_) index_ = built;
  return index_;
}

std::optional<DesktopEntry> DesktopEntries::Find(std::string_view id) {
  auto index = Current();
  auto found = index->byId.find(WithoutDesktopSuffix(id));
  if (found == index->byId.end()) return std::nullopt;
  return index->entries[found->second];
}

std::optional<DesktopEntry> DesktopEntries::FindByWmClass(std::string_view wmClass) {
  if (wmClass.empty()) return std::nullopt;
  auto index = Current();
  if (auto found = index->byWmClass.find(wmClass); found != index->byWmClass.end())
    return index->entries[found->second];
  if (auto found = index->byLowerId.find(Lower(wmClass)); found != index->byLowerId.end())
    return index->entries[found->second];
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::FindByExecutable(std::string_view executable) {
  if (executable.empty()) return std::nullopt;
  auto index = Current();
  auto found = index->byExecutable.find(executable);
  if (found == index->byExecutable.end() || !found->second) return std::nullopt;
  return index->entries[*found->second];
}

std::optional<DesktopEntry> DesktopEntries::FindByName(std::string_view name) {
  auto index = Current();
  for (const DesktopEntry& entry : index->entries) {
    if (entry.name == name) return entry;
  }
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::FindByPath(std::string_view path) {
  auto index = Current();
  auto found = index->byPath.find(path);
  if (found == index->byPath.end()) return std::nullopt;
  return index->entries[found->second];
}

std::vector<DesktopEntry> DesktopEntries::All() { return Current()->entries; }

std::string DesktopEntries::DefaultForType(const char* contentType) {
  GOwned<GAppInfo> app(g_app_info_get_default_for_type(contentType, FALSE));
  return app ? WithoutDesktopSuffix(Text(g_app_info_get_id(app.get()))) : std::string();
}

std::string DesktopEntries::DefaultForScheme(const char* scheme) {
  GOwned<GAppInfo> app(g_app_info_get_default_for_uri_scheme(scheme));
  return app ? WithoutDesktopSuffix(Text(g_app_info_get_id(app.get()))) : std::string();
}

}  // namespace hovra::platform::linux_desktop
