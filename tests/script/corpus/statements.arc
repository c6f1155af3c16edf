// Every statement form.
int i, n;
string s;
{
  if (1 < 2) LogEvent("then"); else LogEvent("else");
  if (1 > 2) LogEvent("then"); else LogEvent("else");
  if (false) LogEvent("no");
  for (i = 1; i <= 3; i++) LogEvent("up " + IntToStr(i));
  for (i = 3; i >= 2; i--) LogEvent("down " + IntToStr(i));
  for (i = 5; i <= 4; i++) LogEvent("never");
  n = 0;
  while (n < 3) n = n + 1;
  LogEvent("while " + IntToStr(n));
  do {
    n--;
  } while (n > 0);
  LogEvent("repeat " + IntToStr(n));
  for (int k = 1; k <= 10; k++) {
    if (k % 2 == 0) continue;
    if (k > 7) break;
    s = s + IntToStr(k);
  }
  LogEvent("loop " + s);
  for (i = 1; i <= 7; i++)
    switch (i) {
      case 1: LogEvent("one"); break;
      case 2:
      case 3: LogEvent("two or three"); break;
      case 4: case 5: LogEvent("four to five"); break;
      default: LogEvent("other " + IntToStr(i));
    }
  switch ("b") {
    case "a": LogEvent("a");
    case "b": LogEvent("b");
  }
  n = 0;
  while (true) {
    n++;
    if (n == 4) break;
  }
  LogEvent("break " + IntToStr(n));
  n += 5;
  LogEvent(n);
  {
    LogEvent("nested block");
  }
  ;;
  LogEvent("before exit");
  return;
  LogEvent("after exit");
}
