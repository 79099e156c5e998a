// NSWorkspace, forwarded one to one (Apple build only, ARC): Foundation's objects become
// the plain values of workspace_calls.h and nothing else happens here.
#import <AppKit/AppKit.h>

#include <memory>
#include <vector>

#include "base/log.h"
#include "platform/macos/apple_forwarders.h"
#include "platform/macos/objc_text.h"

namespace hovra::platform::macos {
namespace {

AppRecord RecordOf(NSRunningApplication* app) {
  AppRecord record;
  if (app.bundleIdentifier != nil) record.bundleIdentifier = Utf8(app.bundleIdentifier);
  record.localizedName = Utf8(app.localizedName);
  record.activationPolicy = static_cast<int64_t>(app.activationPolicy);
  return record;
}

// The representation drawn at its pixel size (its point size for a vector one).
PremultipliedBitmap Draw(NSImageRep* rep) {
  NSInteger wide = rep.pixelsWide > 0 ? rep.pixelsWide : static_cast<NSInteger>(rep.size.width);
  NSInteger high = rep.pixelsHigh > 0 ? rep.pixelsHigh : static_cast<NSInteger>(rep.size.height);
  PremultipliedBitmap bitmap;
  if (wide <= 0 || high <= 0) return bitmap;
  bitmap.pixelsWide = static_cast<int>(wide);
  bitmap.pixelsHigh = static_cast<int>(high);
  bitmap.bytesPerRow = static_cast<size_t>(wide) * 4;
  bitmap.bytes.assign(bitmap.bytesPerRow * static_cast<size_t>(high), 0);
  CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
  CGContextRef context =
      CGBitmapContextCreate(bitmap.bytes.data(), static_cast<size_t>(wide),
                            static_cast<size_t>(high), 8, bitmap.bytesPerRow, space,
                            static_cast<uint32_t>(kCGImageAlphaPremultipliedLast) |
                                static_cast<uint32_t>(kCGBitmapByteOrder32Big));
  CGColorSpaceRelease(space);
  if (context == nullptr) return PremultipliedBitmap{};
  [NSGraphicsContext saveGraphicsState];
  NSGraphicsContext.currentContext = [NSGraphicsContext graphicsContextWithCGContext:context
                                                                             flipped:NO];
  [rep drawInRect:NSMakeRect(0, 0, static_cast<CGFloat>(wide), static_cast<CGFloat>(high))];
  [NSGraphicsContext restoreGraphicsState];
  CGContextRelease(context);
  return bitmap;
}

// Said once if AppKit's notification names ever differ from the ones observed.
void CheckNames(const std::vector<std::string>& names) {
  NSArray<NSString*>* appKit = @[
    NSWorkspaceDidLaunchApplicationNotification, NSWorkspaceDidTerminateApplicationNotification,
    NSWorkspaceDidActivateApplicationNotification, NSWorkspaceDidDeactivateApplicationNotification,
    NSWorkspaceDidWakeNotification
  ];
  for (const std::string& name : names) {
    if (![appKit containsObject:NsString(name)]) {
      Log("workspace notification %s is not one AppKit posts", name.c_str());
    }
  }
}

class AppleWorkspaceCalls : public WorkspaceCalls {
 public:
  std::optional<std::string> PathForApplication(std::string_view bundleId) override {
    @autoreleasepool {
      NSString* identifier = NsString(bundleId);
      if (identifier == nil) return std::nullopt;
      NSURL* url = [NSWorkspace.sharedWorkspace URLForApplicationWithBundleIdentifier:identifier];
      if (url == nil) return std::nullopt;
      return Utf8(url.path);
    }
  }

  std::vector<AppRecord> RunningApplications() override {
    @autoreleasepool {
      std::vector<AppRecord> records;
      for (NSRunningApplication* app in NSWorkspace.sharedWorkspace.runningApplications) {
        records.push_back(RecordOf(app));
      }
      return records;
    }
  }

  void Observe(const std::vector<std::string>& names, Observer observer) override {
    StopObserving();
    CheckNames(names);
    auto shared = std::make_shared<Observer>(std::move(observer));
    NSNotificationCenter* center = NSWorkspace.sharedWorkspace.notificationCenter;
    for (const std::string& name : names) {
      id token = [center addObserverForName:NsString(name)
                                     object:nil
                                      queue:NSOperationQueue.mainQueue
                                 usingBlock:^(NSNotification* note) {
                                   id app = note.userInfo[NSWorkspaceApplicationKey];
                                   if ([app isKindOfClass:NSRunningApplication.class]) {
                                     AppRecord record = RecordOf(app);
                                     (*shared)(Utf8(note.name), &record);
                                   } else {
                                     (*shared)(Utf8(note.name), nullptr);
                                   }
                                 }];
      tokens_.push_back(token);
    }
  }

  void StopObserving() override {
    NSNotificationCenter* center = NSWorkspace.sharedWorkspace.notificationCenter;
    for (id token : tokens_) [center removeObserver:token];
    tokens_.clear();
  }

  std::vector<PremultipliedBitmap> IconForFile(std::string_view path) override {
    @autoreleasepool {
      std::vector<PremultipliedBitmap> bitmaps;
      NSString* file = NsString(path);
      if (file == nil) return bitmaps;
      NSImage* icon = [NSWorkspace.sharedWorkspace iconForFile:file];
      for (NSImageRep* rep in icon.representations) bitmaps.push_back(Draw(rep));
      return bitmaps;
    }
  }

  bool OpenURL(std::string_view text) override {
    @autoreleasepool {
      NSString* string = NsString(text);
      NSURL* url = string == nil ? nil : [NSURL URLWithString:string];
      return url != nil && [NSWorkspace.sharedWorkspace openURL:url];
    }
  }

 private:
  std::vector<id> tokens_;  // main thread only
};

}  // namespace

WorkspaceCalls& AppleWorkspace() {
  static AppleWorkspaceCalls calls;
  return calls;
}

}  // namespace hovra::platform::macos
