// The main thread's loop as start-up and the quit path see it: a main queue that can be
// run and ended. The plain run loop, a GLib main loop and Qt's event loop each offer it.
#pragma once

#include "platform/main_queue.h"

namespace hovra::platform {

class MainLoop : public MainQueue {
 public:
  // Runs work on the calling thread (the main thread) until Quit(); then work still queued
  // is dropped and threads waiting in RunAndWait are released.
  virtual void Run() = 0;
  // Ends Run() after the work in hand; safe from any thread.
  virtual void Quit() = 0;
};

}  // namespace hovra::platform
