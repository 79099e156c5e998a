// Answers to the queries: the Dock's applications, an icon, the frontmost application
// and a folder listing. The catalogue lives on the main thread; the actions hop there.
#include <cstring>

#include "actions/dock_queries.h"
#include "actions/files_and_apps.h"
#include "catalogue/sys_util.h"
#include "server/hovra_svr_sock.h"
#include "server/reports.h"

namespace hovra {

void CHovraSvrSock::OnGetDockInfo(_MouseClnt& c) {
  std::string reply = "dock_info ";
  actions::GetDockInfo(reply);  // appends the description and its line end, never cut
  SendReply(c, reply.data(), reply.size());
}

void CHovraSvrSock::OnGetIcon(const char* name, _MouseClnt& c) {
  if (!iconBuf_) iconBuf_ = std::make_unique<char[]>(catalogue::kIconBufferBytes);
  if (!actions::GetIconForApp(name, iconBuf_.get())) return;
  SendReply(c, iconBuf_.get(), std::strlen(iconBuf_.get()));
}

void CHovraSvrSock::OnStartGetActivatedApp(_MouseClnt& c) {
  std::string reply = getLastActivatedapp();
  SendReply(c, reply.data(), reply.size());
}

void CHovraSvrSock::OnBrowseFiles(const char* path, _MouseClnt& c) {
  std::string listing;
  actions::browseFile(path, listing);
  SendReply(c, listing.data(), listing.size());
}

}  // namespace hovra
