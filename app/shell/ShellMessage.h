// Message boxes of the shell: the general library's ShowMsg when it is there, and a box of
// our own when libtvGeneral.so is missing, so that the few questions and notices the
// program cannot do without (already running, exit question) still reach the operator.
#pragma once

#include <string>

// Same kinds, buttons and answers as ShowMsg (tvGeneralApi.h). Without the library: an
// OK-only message is a plain notice; a question is a toolkit box with those buttons in a
// window process, and in a process without a window it is written to standard error and
// answered with the default button (OK, else Yes, else No, else Cancel).
int ShowMessage(const std::string& text, int kind, int buttons);
