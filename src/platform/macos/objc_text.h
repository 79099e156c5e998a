// Text between Foundation and C++ (Objective-C++ only): UTF-8 both ways.
#pragma once

#import <Foundation/Foundation.h>

#include <string>
#include <string_view>

namespace hovra::platform::macos {

inline std::string Utf8(NSString* text) {
  const char* bytes = text.UTF8String;
  return bytes ? std::string(bytes) : std::string();
}

// nil when the bytes are not UTF-8.
inline NSString* NsString(std::string_view text) {
  return [[NSString alloc] initWithBytes:text.data()
                                  length:text.size()
                                encoding:NSUTF8StringEncoding];
}

}  // namespace hovra::platform::macos
