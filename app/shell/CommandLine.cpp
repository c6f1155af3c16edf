#include "CommandLine.h"


namespace {

CommandLine Invalid(std::string error) {
    CommandLine line;
    line.mode = CommandLine::Mode::Invalid;
    line.error = std::move(error);
    return line;
}

void AddOption(std::string& text, const std::string& option, const std::string& summary) {
    text += "  " + option;
    text += std::string(option.size() < 24 ? 24 - option.size() : 1, ' ');
    text += summary + "\n";
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv,
                             const std::vector<CommandLineTool>& tools) {
    CommandLine line;
    if (argc <= 1) return line;
    const std::string option = argv[1];
    const int extra = argc - 2;

    auto noArguments = [&](CommandLine::Mode mode) {
        if (extra != 0) return Invalid(option + " takes no argument");
        line.mode = mode;
        return line;
    };
    if (option == "--headless") return noArguments(CommandLine::Mode::Headless);
    if (option == "--help" || option == "-h") return noArguments(CommandLine::Mode::Help);
    if (option == "--send") {
        if (extra != 1) return Invalid("--send takes one argument, the text");
        line.mode = CommandLine::Mode::Send;
        line.sendText = QByteArray(argv[2]);
        return line;
    }
    for (const CommandLineTool& tool : tools) {
        if (option != tool.option) continue;
        if (extra != tool.argumentCount)
            return Invalid(option + " takes " + std::to_string(tool.argumentCount) +
                           " argument(s): " + tool.arguments);
        line.mode = CommandLine::Mode::Tool;
        line.tool = &tool;
        for (int i = 2; i < argc; ++i) line.toolArguments << QString::fromLocal8Bit(argv[i]);
        return line;
    }
    return Invalid("unknown option " + option);
}

std::string UsageText(const std::vector<CommandLineTool>& tools) {
    std::string text = "Usage: quillon [OPTION]\n";
    AddOption(text, "(none)", "the window: monitor, settings, rule editor");
    AddOption(text, "--headless", "the service form: no window, monitor lines on standard output");
    AddOption(text, "--send TEXT", "hands TEXT to the running instance (\"Exit\" closes it)");
    for (const CommandLineTool& tool : tools)
        AddOption(text, std::string(tool.option) + " " + tool.arguments, tool.summary);
    AddOption(text, "--help", "this text");
    return text;
}
