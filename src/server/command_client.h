// What a text command may do to the client it came from. The command table and the query
// replies see a client only through this; the connection implements it.
#pragma once

#include <string_view>

namespace hovra {

class HeldInput;

class CommandClient {
 public:
  // Names the client in the log ("client %d").
  virtual int Id() const = 0;
  // Queues `bytes` behind the client's earlier replies; they are sent whole and in order.
  virtual void Reply(std::string_view bytes) = 0;
  // Where presses that hold a key or button down are recorded, to be let go at the end.
  virtual HeldInput& Held() = 0;
  // "reportCurrentApp" (true) and "dontreportCurrentApp" (false).
  virtual void SetReportApp(bool on) = 0;
  // "verifypassword ": whether `text` is the PIN. A client that owes the PIN is closed
  // after too many wrong answers, once its answer has been sent.
  virtual bool VerifyPassword(const char* text) = 0;

 protected:
  ~CommandClient() = default;
};

}  // namespace hovra
