// The program's command line.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <string>
#include <vector>

#include "CommandLineTool.h"

struct CommandLine {
    enum class Mode { Window, Headless, Send, Tool, Help, Invalid };

    Mode mode = Mode::Window;
    QByteArray sendText;                  // Send: the text, as the shell passed it
    const CommandLineTool* tool = nullptr;  // Tool: the tool to run ...
    QStringList toolArguments;            // ... with these arguments
    std::string error;                    // Invalid: what is wrong
};

// Reads argv (argv[0] is the program). Anything not understood is Mode::Invalid.
CommandLine ParseCommandLine(int argc, const char* const* argv,
                             const std::vector<CommandLineTool>& tools);

// The usage text, listing the tools too.
std::string UsageText(const std::vector<CommandLineTool>& tools);
