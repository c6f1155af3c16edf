// Errors raised, caught and cleaned up after.
int i;
Variant a;

void Fails() {
  RaiseException("from a routine");
}

{
  try {
    RaiseException("boom");
    LogEvent("not reached");
  } catch {
    LogEvent("caught: " + ExceptionMessage());
  }
  try {
    i = 0;
    i = 10 / i;
  } catch {
    LogEvent(ExceptionMessage());
  }
  try {
    a = [1, 2];
    LogEvent(a[5]);
  } catch {
    LogEvent(ExceptionMessage());
  }
  try {
    a = "abc";
    i = a;
  } catch {
    LogEvent(ExceptionMessage());
  }
  try {
    LogEvent(StrToInt("12x"));
  } catch (...) {
    LogEvent(ExceptionMessage());
  }
  try {
    try {
      Fails();
    } finally {
      LogEvent("finally runs");
    }
  } catch {
    LogEvent("outer: " + ExceptionMessage());
  }
  try {
    HostFail("host says no");
  } catch {
    LogEvent(ExceptionMessage());
  }
  try {
    try {
      RaiseException("inner");
    } catch {
      LogEvent("handler 1: " + ExceptionMessage());
      RaiseException("again");
    }
  } catch {
    LogEvent("handler 2: " + ExceptionMessage());
  }
  for (i = 1; i <= 3; i++)
    try {
      if (i == 2) break;
      LogEvent("loop " + IntToStr(i));
    } finally {
      LogEvent("cleanup " + IntToStr(i));
    }
  LogEvent("end");
}
