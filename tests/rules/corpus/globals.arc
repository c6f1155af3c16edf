// Program-level variables keep their values from one line to the next; compiling again
// (at the first line of every file) starts them afresh.
int count;
string seen;
count++;
seen = seen + line_content;
LogEvent(IntToStr(count) + " " + seen);
