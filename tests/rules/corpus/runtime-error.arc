int n;
{
  n++;
  if (n == 3)
    RaiseException("third line: " + line_content);
  SaveResult("T", ["N", "LINE"], [n, line_content]);
}
