// Counts that do not tally are refused with a monitor message; the rule goes on.
if (!SaveResult("T", ["A", "B"], [line_content]))
  LogEvent("not saved");
SaveResult("T", ["A"], [line_content]);
