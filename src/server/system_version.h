// The version texts the server keeps: the operating system's, sent in every greeting
// ("10.6" until it is known), and the application's own.
#pragma once

#include <string>

namespace hovra {

inline constexpr char kUnknownSystemVersion[] = "10.6";

// The greeting's version text; safe to read on the worker while the main thread fills it.
std::string SystemVersionText();
void SetSystemVersionText(const std::string& text);

// Queues the reading of the OS product version on the main thread and returns at once;
// the text is in SystemVersionText() once the main thread has run it.
void GetSystemVersion();

}  // namespace hovra
