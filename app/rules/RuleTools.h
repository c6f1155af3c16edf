// The rule tools of the command line, for testing a rule before a channel ever sees it:
//   quillon --check-rule FILE        compiles the rule in the syntax its extension selects
//                                    and prints "Compile completed!" (status 0) or the
//                                    engine's error text with " at Line L Char C" (status 1)
//   quillon --dry-run RULE INPUT     runs the rule over every non-empty line of INPUT as a
//                                    channel does, with the repository replaced by a
//                                    printer of JSON lines (JsonLines.h); a compile or
//                                    run-time error prints its error line (status 1)
// Message boxes of the rule functions go to standard error; so do notes and problems with
// the files themselves (status 1).
#pragma once

#include <QStringList>
#include <iosfwd>
#include <string>
#include <vector>

int CheckRule(const std::string& ruleFile, std::ostream& out, std::ostream& err);

// Runs the rule over the files one after another, as a channel processes them: compiled
// once before the first (refusing a rule that does not compile) and again at the first
// non-empty line of every file, so the rule's program-level variables live for one file.
int DryRun(const std::string& ruleFile, const std::vector<std::string>& inputFiles, std::ostream& out,
           std::ostream& err);

// The entries of the program's command-line tool table.
int RunCheckRule(const QStringList& arguments);
int RunDryRun(const QStringList& arguments);
