// A plain message box of the window toolkit, for the few notices that must not depend on
// the general library (a family library that failed to load, for one).
#pragma once

#include <string>

namespace tv {

// Shows `text` in a plain modal box when a GUI application runs on this thread's side;
// otherwise (headless, or no application yet) writes it as one line to standard error.
void ShowPlainNotice(const std::string& text);

}  // namespace tv
