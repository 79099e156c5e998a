#include "platform/journal/journal_backend.h"

namespace hovra::platform::journal {

JournalBackend::JournalBackend(std::unique_ptr<JournalWriter> journal, SimConfig config)
    : journal_(std::move(journal)),
      desktop_(std::move(config)),
      events_(*journal_, desktop_),
      scripts_(*journal_),
      workspace_(*journal_, desktop_),
      host_(desktop_),
      ui_(*journal_) {}

void JournalBackend::Provide(Services& services) {
  services.events = &events_;
  services.scripts = &scripts_;
  services.workspace = &workspace_;
  services.host = &host_;
  services.ui = &ui_;
}

}  // namespace hovra::platform::journal
