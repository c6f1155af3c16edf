// Split at ';': empty parts, a trailing separator, a text without the separator.
Variant p;
int i;
string s;
p = Split(line_content, ";");
s = IntToStr(Length(p)) + ":";
for (i = 0; i < Length(p); i++)
  s = s + "[" + p[i] + "]";
LogEvent(s);
