// Routines: results, by-reference parameters, defaults, recursion, calls before bodies.
int g;
string t;
Variant arr;

int Fact(int n) {
  if (n <= 1) return 1;
  return n * Fact(n - 1);
}

int Fib(int n) {
  if (n < 2) return n;
  return Fib(n - 1) + Fib(n - 2);
}

void Swap(int &a, int &b) {
  int tmp = a;
  a = b;
  b = tmp;
}

void AddTo(string &s, string part = "!") {
  s = s + part;
}

double Twice(double x = 1.5) {
  return x * 2;
  return 0;
}

void CountDown(int n) {
  if (n == 0) return;
  g += n;
  CountDown(n - 1);
}

void Bump(int &x) {
  x = x + 1;
  g = g + 10;
}

string Later() {
  return Early() + "-later";
}

string Early() {
  int local;
  local++;
  return "early" + IntToStr(local);
}

int x, y;
{
  LogEvent(Fact(10));
  LogEvent(Fib(15));
  x = 1;
  y = 2;
  Swap(x, y);
  LogEvent(IntToStr(x) + " " + IntToStr(y));
  t = "hi";
  AddTo(t);
  AddTo(t, "?");
  LogEvent(t);
  LogEvent(Twice());
  LogEvent(Twice(4));
  g = 0;
  CountDown(4);
  LogEvent(g);
  g = 1;
  Bump(g);
  LogEvent(g);
  arr = [1, 2, 3];
  Swap(arr[0], arr[2]);
  LogEvent(arr[0] * 100 + arr[2]);
  LogEvent(Later());
  LogEvent(Later());
  LogEvent(HostName(1));
  LogEvent(HostName(1, 2));
}
