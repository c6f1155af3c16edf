// The table of command-line tools the program entry offers. A module adds its tool with
// one entry here (and links its library into `quillon`, app/CMakeLists.txt), e.g.
//     {"--check-rule", "FILE", 1, "compiles a rule and reports the result", &RunCheckRule},
#include "CommandLineTool.h"
#include "RuleTools.h"

const std::vector<CommandLineTool>& CommandLineTools() {
    static const std::vector<CommandLineTool> tools = {
        {"--check-rule", "FILE", 1, "compiles a rule and reports the result", &RunCheckRule},
        {"--dry-run", "RULE INPUT", 2, "runs a rule over a file and prints what it would save", &RunDryRun},
    };
    return tools;
}
