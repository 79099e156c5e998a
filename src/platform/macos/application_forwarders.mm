// NSApplication and the main dispatch queue, the computer's facts and SMAppService,
// forwarded one to one (Apple build only, ARC).
#import <AppKit/AppKit.h>
#import <ServiceManagement/ServiceManagement.h>

#include <dispatch/dispatch.h>
#include <pthread.h>

#include <memory>

#include "platform/macos/apple_forwarders.h"
#include "platform/macos/objc_text.h"

namespace hovra::platform::macos {
namespace {

static_assert(SMAppServiceStatusNotRegistered == service_status::kNotRegistered);
static_assert(SMAppServiceStatusEnabled == service_status::kEnabled);
static_assert(SMAppServiceStatusRequiresApproval == service_status::kRequiresApproval);
static_assert(SMAppServiceStatusNotFound == service_status::kNotFound);

using Work = std::function<void()>;

void RunWork(void* context) {
  std::unique_ptr<Work> work(static_cast<Work*>(context));
  @autoreleasepool {
    (*work)();
  }
}

class AppleDispatchCalls : public DispatchCalls {
 public:
  void Async(Work work) override {
    dispatch_async_f(dispatch_get_main_queue(), new Work(std::move(work)), RunWork);
  }
  void After(std::chrono::nanoseconds delay, Work work) override {
    dispatch_after_f(dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(delay.count())),
                     dispatch_get_main_queue(), new Work(std::move(work)), RunWork);
  }
  void RunApplication() override { [NSApp run]; }
  void StopApplication() override {
    [NSApp stop:nil];
    // stop: is seen after the next event: one that does nothing.
    NSEvent* wake = [NSEvent otherEventWithType:NSEventTypeApplicationDefined
                                       location:NSZeroPoint
                                  modifierFlags:0
                                      timestamp:0
                                   windowNumber:0
                                        context:nil
                                        subtype:0
                                          data1:0
                                          data2:0];
    [NSApp postEvent:wake atStart:YES];
  }
  bool IsMainThread() override { return pthread_main_np() != 0; }
};

class AppleHostCalls : public HostCalls {
 public:
  std::string LocalizedHostName() override {
    @autoreleasepool {
      return Utf8(NSHost.currentHost.localizedName);
    }
  }
  OsVersion OperatingSystemVersion() override {
    NSOperatingSystemVersion v = NSProcessInfo.processInfo.operatingSystemVersion;
    return OsVersion{v.majorVersion, v.minorVersion, v.patchVersion};
  }
};

class AppleLoginServiceCalls : public LoginServiceCalls {
 public:
  int64_t Status() override { return static_cast<int64_t>(SMAppService.mainAppService.status); }
  bool Register(std::string& error) override {
    NSError* failure = nil;
    BOOL done = [SMAppService.mainAppService registerAndReturnError:&failure];
    if (!done) error = Utf8(failure.localizedDescription);
    return done;
  }
  bool Unregister(std::string& error) override {
    NSError* failure = nil;
    BOOL done = [SMAppService.mainAppService unregisterAndReturnError:&failure];
    if (!done) error = Utf8(failure.localizedDescription);
    return done;
  }
};

}  // namespace

void PrepareApplication() {
  [NSApplication sharedApplication];
  [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
}

std::string MainBundlePath() {
  @autoreleasepool {
    return Utf8(NSBundle.mainBundle.bundlePath);
  }
}

DispatchCalls& AppleDispatch() {
  static AppleDispatchCalls calls;
  return calls;
}

HostCalls& AppleHost() {
  static AppleHostCalls calls;
  return calls;
}

LoginServiceCalls& AppleLoginService() {
  static AppleLoginServiceCalls calls;
  return calls;
}

}  // namespace hovra::platform::macos
