// Program-level variables keep their values from run to run; compiling starts afresh.
int count = 100;
string seen;
Variant parts;
count++;
parts = Split(line_content, ";");
seen = seen + parts[1];
LogEvent(IntToStr(count) + " " + seen);
