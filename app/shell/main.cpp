// The program entry: reads the command line and starts the run it asks for. Command-line
// tools are tried before any start-up, so they never take the single-instance guard.
#include <cstdio>

#include "CommandLine.h"
#include "Program.h"

int main(int argc, char** argv) {
    const std::vector<CommandLineTool>& tools = CommandLineTools();
    const CommandLine line = ParseCommandLine(argc, argv, tools);
    switch (line.mode) {
        case CommandLine::Mode::Help:
            std::fputs(UsageText(tools).c_str(), stdout);
            return kExitOk;
        case CommandLine::Mode::Invalid:
            std::fprintf(stderr, "quillon: %s\n%s", line.error.c_str(), UsageText(tools).c_str());
            return kExitUsage;
        case CommandLine::Mode::Send:
            return RunSend(line.sendText);
        case CommandLine::Mode::Tool:
            return RunTool(argc, argv, *line.tool, line.toolArguments);
        case CommandLine::Mode::Headless:
            return RunHeadless(argc, argv);
        case CommandLine::Mode::Window:
            break;
    }
    return RunWindow(argc, argv);
}
