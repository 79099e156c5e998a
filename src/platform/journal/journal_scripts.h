// Script services of the journal backend: scripts are recorded, not run.
#pragma once

#include "platform/journal/journal_writer.h"
#include "platform/script_services.h"

namespace hovra::platform::journal {

class JournalScripts : public ScriptServices {
 public:
  explicit JournalScripts(JournalWriter& journal) : journal_(journal) {}
  void Run(const Script& script) override;

 private:
  JournalWriter& journal_;
};

}  // namespace hovra::platform::journal
