#include "server/replies.h"

#include <cstring>
#include <memory>
#include <string>

#include "actions/dock_queries.h"
#include "actions/files_and_apps.h"
#include "catalogue/sys_util.h"
#include "server/reports.h"

namespace hovra {

void OnGetDockInfo(CommandClient& c) {
  std::string reply = "dock_info ";
  actions::GetDockInfo(reply);  // appends the description and its line end, never cut
  c.Reply(reply);
}

void OnGetIcon(const char* name, CommandClient& c) {
  // One buffer for the worker, made on first use: icons are large and asked for in runs.
  static thread_local std::unique_ptr<char[]> iconBuf;
  if (!iconBuf) iconBuf = std::make_unique<char[]>(catalogue::kIconBufferBytes);
  if (!actions::GetIconForApp(name, iconBuf.get())) return;
  c.Reply(std::string_view(iconBuf.get(), std::strlen(iconBuf.get())));
}

void OnStartGetActivatedApp(CommandClient& c) { c.Reply(getLastActivatedapp()); }

void OnBrowseFiles(const char* path, CommandClient& c) {
  std::string listing;
  actions::browseFile(path, listing);
  c.Reply(listing);
}

}  // namespace hovra
