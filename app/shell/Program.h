// The runs of the program, one per command-line mode, each with the whole set-up and
// shut-down in its order:
//   set-up:    application object, family libraries (data access, general, security),
//              single-instance guard, main window (or headless runner);
//   shut-down: main window (channels, settings connection), guard, libraries in the
//              reverse order, application object.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "CommandLineTool.h"

// Exit statuses of the process.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;         // --send not delivered, failed run
inline constexpr int kExitUsage = 2;           // command line not understood
inline constexpr int kExitAlreadyRunning = 3;  // another instance holds the program folder

// The window. Returns when the main window has closed.
int RunWindow(int& argc, char** argv);
// The service form; returns on SIGINT, SIGTERM or "Exit".
int RunHeadless(int& argc, char** argv);
// --send TEXT: needs no application object, no library and no guard.
int RunSend(const QByteArray& text);
// A command-line tool.
int RunTool(int& argc, char** argv, const CommandLineTool& tool, const QStringList& arguments);
