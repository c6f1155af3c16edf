// Arrays: constructors, bounds, nesting, copies that stay independent.
Variant a, b;
int fixed[3];
Variant dyn;
int i;
{
  a = [10, 20, 30];
  LogEvent(a[0] + a[2]);
  LogEvent(Length(a));
  LogEvent(Low(a));
  LogEvent(High(a));
  b = a;
  b[1] = 99;
  LogEvent(a[1]);
  LogEvent(b[1]);
  fixed[0] = "5";
  fixed[2] = 7;
  LogEvent(fixed[0] + fixed[1] + fixed[2]);
  LogEvent(Low(fixed) + 1);
  LogEvent(High(fixed) + 1);
  SetLength(dyn, 2);
  dyn[0] = "x";
  dyn[1] = "1";
  LogEvent(dyn[0] + dyn[1]);
  a = [[0, 0], [0, 0]];
  a[1][0] = 4;
  a[1][1] = 5;
  LogEvent(a[1][0] * a[1][1]);
  a = [[1, 2], [3, [4, 5]]];
  LogEvent(a[1][1][0]);
  a = VarArrayCreate([2, 4], varVariant);
  LogEvent(VarArrayLowBound(a, 1));
  LogEvent(VarArrayHighBound(a, 1));
  a[4] = "last";
  LogEvent(a[4]);
  a = VarArrayOf(1, "two", 3.5);
  LogEvent(a[1]);
  LogEvent(VarIsArray(a));
  b = [];
  LogEvent(Length(b));
  for (i = 0; i <= High(a); i++)
    LogEvent(a[i]);
  LogEvent(ButtonsValue([mbOk, mbCancel]));
  LogEvent(ButtonsValue([mbYes]) == mbYes);
}
