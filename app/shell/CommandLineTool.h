// A command-line tool of the program (checking a rule, a dry run ...). A tool runs instead
// of the start-up: no window, no single-instance guard, no settings database; it gets a
// QCoreApplication (message boxes go to standard error) and the family libraries bound,
// and what it returns is the process's exit status.
#pragma once

#include <QStringList>
#include <vector>

struct CommandLineTool {
    const char* option;     // "--check-rule"
    const char* arguments;  // "FILE", as the usage text shows them
    int argumentCount;      // exactly this many follow the option
    const char* summary;    // one line for the usage text
    int (*run)(const QStringList& arguments);
};

// The program's tools, in the order the usage text lists them (CommandLineTools.cpp).
const std::vector<CommandLineTool>& CommandLineTools();
