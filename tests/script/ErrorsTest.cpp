// Compile errors and run-time errors: their texts and the positions they name.
#include <gtest/gtest.h>

#include "CorpusRunner.h"

namespace {

struct ErrorCase {
    const char* syntax;
    const char* text;
    const char* expected;  // the one output line
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.syntax << ": " << c.text; }

class CompileErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CompileErrors, NameTheFirstFaultAndItsPosition) {
    const ErrorCase& c = GetParam();
    std::vector<std::string> out = corpus::RunText(c.syntax, c.text);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], c.expected);
}

const ErrorCase kCompileErrors[] = {
    {"PascalScript", "begin\n  x := 1;\nend.", "compile error: Undeclared identifier: 'x' at 2:3"},
    {"PascalScript", "var x: integer;\nbegin\n  x := 1\n  x := 2;\nend.", "compile error: ';' expected but 'x' found at 4:3"},
    {"PascalScript", "var x: integer\nbegin\nend.", "compile error: ';' expected but 'begin' found at 2:1"},
    {"PascalScript", "begin\n  if 1 < 2 LogEvent('x');\nend.", "compile error: 'then' expected but 'LogEvent' found at 2:12"},
    {"PascalScript", "begin\n  LogEvent('abc);\nend.", "compile error: Unterminated string at 2:12"},
    {"PascalScript", "begin { no end\nend.", "compile error: Unterminated comment at 1:7"},
    {"PascalScript", "begin\nend", "compile error: '.' expected but end of file found at 2:4"},
    {"PascalScript", "var i: integer;\nbegin\n  i := 'abc';\nend.", "compile error: Type mismatch at 3:8"},
    {"PascalScript", "begin LogEvent(1, 2); end.", "compile error: Too many actual parameters for 'LogEvent' at 1:7"},
    {"PascalScript", "begin Split(); end.", "compile error: Not enough actual parameters for 'Split' at 1:7"},
    {"PascalScript", "procedure p(var x: integer); begin end;\nbegin p(1); end.", "compile error: Variable required at 2:9"},
    {"PascalScript", "var a: integer;\n    a: string;\nbegin end.", "compile error: Identifier redeclared: 'a' at 2:5"},
    {"PascalScript", "begin\n  break;\nend.", "compile error: 'Break' outside a loop at 2:3"},
    {"PascalScript", "var x: integer;\nbegin x := 1 div 0; end.", "compile error: Division by zero at 2:14"},
    {"PascalScript", "var x: TFoo;\nbegin end.", "compile error: Unknown type: 'TFoo' at 1:8"},
    {"PascalScript", "begin 1 := 2; end.", "compile error: Statement expected but '1' found at 1:7"},
    {"PascalScript", "begin line_content; end.", "compile error: Statement expected at 1:7"},
    {"PascalScript", "begin LogEvent(?); end.", "compile error: Invalid character '?' at 1:16"},
    {"PascalScript", "const c = 1;\nbegin c := 2; end.", "compile error: Left side cannot be assigned to at 2:7"},
    {"C++Script", "int x = 1\nLogEvent(x);", "compile error: ';' expected but 'LogEvent' found at 2:1"},
    {"C++Script", "LogEvent(\"abc);", "compile error: Unterminated string at 1:10"},
    {"C++Script", "/* open", "compile error: Unterminated comment at 1:1"},
    {"C++Script", "y = 1;", "compile error: Undeclared identifier: 'y' at 1:1"},
    {"C++Script", "int f(int a) { return a; }\nLogEvent(f());", "compile error: Not enough actual parameters for 'f' at 2:10"},
    {"C++Script", "{ LogEvent(1);", "compile error: '}' expected but end of file found at 1:15"},
    {"C++Script", "int i;\ni = \"abc\";", "compile error: Type mismatch at 2:5"},
    {"C++Script", "int i;\nLogEvent(i++ + 1);", "compile error: '++' is only allowed as a statement at 2:11"},
    {"C++Script", "{ int k = 1; }\nLogEvent(k);", "compile error: Undeclared identifier: 'k' at 2:10"},
    {"C++Script", "LogEvent(\"a\\q\");", "compile error: Invalid escape sequence '\\q' at 1:10"},
    {"BasicScript", "Dim x\nIf x = 1 Then\n  LogEvent x\n", "compile error: 'End If' expected but end of file found at 4:1"},
    {"BasicScript", "LogEvent \"abc", "compile error: Unterminated string at 1:10"},
    {"BasicScript", "y = 1", "compile error: Undeclared identifier: 'y' at 1:1"},
    {"BasicScript", "For i = 1 To 3\nNext", "compile error: Undeclared identifier: 'i' at 1:5"},
    {"BasicScript", "Sub p(ByRef x)\nEnd Sub\np 1", "compile error: Variable required at 3:3"},
    {"BasicScript", "Dim i As Integer\ni = \"abc\"", "compile error: Type mismatch at 2:5"},
    {"BasicScript", "Exit For", "compile error: 'Break' outside a loop at 1:1"},
    {"BasicScript", "Dim a As Integer\nLogEvent a b", "compile error: End of statement expected but 'b' found at 2:12"},
    {"BasicScript", "Function f(a)\n  f = a\nEnd Sub", "compile error: 'End Function' expected but 'End' found at 3:1"},
};

INSTANTIATE_TEST_SUITE_P(AllSyntaxes, CompileErrors, ::testing::ValuesIn(kCompileErrors));

class RuntimeErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RuntimeErrors, LeaveWithTheFailingStatementsPosition) {
    const ErrorCase& c = GetParam();
    std::vector<std::string> out = corpus::RunText(c.syntax, c.text);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), c.expected);
}

const ErrorCase kRuntimeErrors[] = {
    {"PascalScript", "var a: variant;\nbegin\n  a := [1];\n  LogEvent(a[3]);\nend.", "error: Index 3 out of bounds 0..0 at 4:3"},
    // the statement inside the routine that failed, not the call
    {"PascalScript", "procedure p;\nbegin\n  RaiseException('x');\nend;\nbegin\n  p;\nend.", "error: x at 3:3"},
    // after a call returns, errors belong to the calling statement again
    {"PascalScript", "function f: integer;\nbegin\n  Result := 0;\nend;\nvar x: integer;\nbegin\n  x := 1 div f;\nend.",
     "error: Division by zero at 7:3"},
    {"PascalScript", "begin\n  LogEvent('ok');\n  HostFail('host refused');\nend.", "error: host refused at 3:3"},
    {"PascalScript", "var s: string;\nbegin\n  s := 'abc';\n  LogEvent(s[4]);\nend.", "error: Index 4 out of bounds 1..3 at 4:3"},
    {"PascalScript", "var v: variant;\nbegin\n  v := 'x';\n  v := v * 2;\nend.", "error: 'x' is not a valid number at 4:3"},
    {"PascalScript", "procedure r(n: integer);\nbegin\n  r(n + 1);\nend;\nbegin\n  r(0);\nend.",
     "error: Stack overflow: routine calls nested too deep at 3:3"},
    {"PascalScript", "var i: integer;\nbegin\n  for i := 1 to 3 do\n    if i = 3 then LogEvent(StrToInt('x' + IntToStr(i)));\nend.",
     "error: 'x3' is not a valid integer value at 4:19"},
    {"C++Script", "int i = 0;\nLogEvent(10 / i);", "error: Division by zero at 2:1"},
    {"C++Script", "string s = \"abc\";\nLogEvent(s[3]);", "error: Index 3 out of bounds 0..2 at 2:1"},
    {"C++Script", "void f(int n) { f(n + 1); }\nf(1);", "error: Stack overflow: routine calls nested too deep at 1:17"},
    {"BasicScript", "Dim s\ns = \"x\"\nLogEvent s + 1", "error: 'x' is not a valid number at 3:1"},
    {"BasicScript", "Dim a(2)\na(3) = 1", "error: Index 3 out of bounds 0..2 at 2:1"},
    {"BasicScript", "Dim i\nFor i = 1 To 2 Step 0\nNext", "error: For loop step is zero at 2:1"},
};

INSTANTIATE_TEST_SUITE_P(AllSyntaxes, RuntimeErrors, ::testing::ValuesIn(kRuntimeErrors));

}  // namespace
