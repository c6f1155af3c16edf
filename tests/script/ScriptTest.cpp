// The host's side of the engine: declarations, variables, runs, the hook, aborting,
// the catalogue and sharing the global unit between threads.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CorpusRunner.h"
#include "Script.h"

namespace {

using namespace quillon::script;

struct Host {
    Script s;
    std::vector<std::string> out;
    explicit Host(const char* syntax = "PascalScript") {
        s.setSyntax(syntax);
        corpus::DeclareTestHost(s, out);
    }
    void compile(const std::string& text) {
        s.setText(text);
        ASSERT_TRUE(s.compile()) << s.errorText() << " at " << s.errorPos();
    }
};

TEST(Script, SyntaxIsChosenByExactName) {
    Script s;
    EXPECT_EQ(s.syntax(), "PascalScript");
    EXPECT_TRUE(s.setSyntax("BasicScript"));
    EXPECT_FALSE(s.setSyntax("basicscript"));
    EXPECT_FALSE(s.setSyntax("Basic"));
    EXPECT_EQ(s.syntax(), "BasicScript");
}

TEST(Script, HostFunctionGetsCapitalNameDefaultsAndWritesBackVarParameters) {
    Host h;
    std::vector<std::string> calls;
    h.s.declareFunction("procedure Twice(var x: integer; const label: string = 'none')",
                        [&](const std::string& name, std::vector<Value>& a) {
                            calls.push_back(name + " " + std::to_string(a.size()) + " " + a[1].toString());
                            a[0] = Value(a[0].toInt() * 2);
                            return Value();
                        });
    h.compile("var n: integer; begin n := 21; Twice(n); LogEvent(n); end.");
    h.s.run();
    EXPECT_EQ(h.out, std::vector<std::string>{"42"});
    EXPECT_EQ(calls, std::vector<std::string>{"TWICE 2 none"});
}

TEST(Script, DeclaredFunctionsHideStandardOnesInEverySyntax) {
    for (auto [syntax, text] : {std::pair{"PascalScript", "begin ShowMessage('hi'); end."},
                                std::pair{"C++Script", "ShowMessage(\"hi\");"},
                                std::pair{"BasicScript", "ShowMessage \"hi\""}}) {
        Host h(syntax);
        h.compile(text);
        h.s.run();
        EXPECT_EQ(h.out, std::vector<std::string>{"SHOWMESSAGE: hi"}) << syntax;
    }
}

TEST(Script, TheRuleExecutorsDeclarationsAreAccepted) {
    Script s;
    ASSERT_TRUE(s.declareEnum("TMsgDlgType", "mtCustom, mtInformation, mtWarning, mtError, mtConfirmation"));
    ASSERT_TRUE(s.declareSet("TMsgDlgButtons", "mbNone, mbOk, mbCancel, mbYes, mbNo, mbAbort, mbRetry, mbIgnore"));
    for (const char* decl : {"function MessageDlg(const Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons): Word",
                             "procedure ShowMessage(const str: string)", "procedure LogEvent(const str: string)",
                             "function Split(const str: string; const separator: string = ','): Variant",
                             "procedure Wait(miliseconds: integer)",
                             "function SaveResult(strTable: string; arResultNames: variant; arResultValues: variant): boolean",
                             "function ParseToFloat(strInput: string): double", "function Log10(const X: extended): extended",
                             "function Power(const base, exponent: extended): extended"}) {
        std::string err;
        EXPECT_TRUE(s.declareFunction(decl, [](auto&, auto& a) { return a.empty() ? Value() : a[0]; }, {}, {}, &err))
            << decl << ": " << err;
    }
    s.setParent(&GlobalUnit::standard());
    s.setText("begin LogEvent(Power(2, 10)); MessageDlg('m', mtError, [mbOk, mbCancel]); end.");
    EXPECT_TRUE(s.compile()) << s.errorText();
}

TEST(Script, BadDeclarationsAreRefused) {
    Script s;
    std::string err;
    EXPECT_FALSE(s.declareFunction("function (x: integer): integer", [](auto&, auto&) { return Value(); }, {}, {}, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(s.declareFunction("function F(x: TNoSuchType): integer", [](auto&, auto&) { return Value(); }));
    EXPECT_FALSE(s.declareEnum("TE", "a, , b", &err));
    EXPECT_TRUE(s.declareEnum("TE", " a , b "));
}

TEST(Script, VariablesAreSetByNameAddedWithTypeAndResolvedOnce) {
    Host h;
    h.s.setVariable("limit", Value("5"), "Integer");
    h.compile("var mine: string; begin LogEvent(limit + 1); LogEvent(mine + line_content); end.");
    Value* line = h.s.findVariable("LINE_CONTENT");
    ASSERT_NE(line, nullptr);
    h.s.setVariable("Mine", Value(7));  // a program-level variable of the rule: converted to its type
    *line = Value("x");
    h.s.run();
    EXPECT_EQ(h.out, (std::vector<std::string>{"6", "7x"}));
    EXPECT_EQ(h.s.findVariable("nothing"), nullptr);
}

TEST(Script, ClearForgetsDeclarationsAndCompileStartsVariablesAfresh) {
    Host h;
    h.compile("var n: integer = 1; begin n := n * 2; LogEvent(n); end.");
    h.s.run();
    h.s.run();
    ASSERT_TRUE(h.s.compile());
    h.s.run();
    EXPECT_EQ(h.out, (std::vector<std::string>{"2", "4", "2"}));
    h.s.clear();
    h.s.setText("begin LogEvent('x'); end.");
    EXPECT_FALSE(h.s.compile());
    EXPECT_EQ(h.s.errorText(), "Undeclared identifier: 'LogEvent'");
    EXPECT_THROW(h.s.run(), RuntimeError);
}

TEST(Script, ProgramLevelInitialValuesAreComputedAtCompile) {
    Host h("C++Script");
    int calls = 0;
    h.s.declareFunction("function Seed: integer", [&](auto&, auto&) { return Value(++calls * 10); });
    h.compile("int base = Seed() + 1;\nbase++;\nLogEvent(base);");
    EXPECT_EQ(calls, 1);
    h.s.run();
    h.s.run();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(h.out, (std::vector<std::string>{"12", "13"}));
}

TEST(Script, HookSeesEveryStatementAndMayEndTheRun) {
    Host h;
    h.compile("var i: integer;\nbegin\n  for i := 1 to 2 do\n    LogEvent(i);\nend.");
    std::vector<std::string> seen;
    h.s.setStatementHook([&](int line, int col) { seen.push_back(std::to_string(line) + ":" + std::to_string(col)); });
    h.s.run();
    EXPECT_EQ(seen, (std::vector<std::string>{"3:3", "4:5", "4:5"}));
    h.s.setStatementHook([](int line, int) {
        if (line == 4) throw RuntimeError("budget spent");
    });
    try {
        h.s.run();
        FAIL() << "the hook's error must end the run";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "budget spent");
        EXPECT_EQ(e.position(), "4:5");
    }
}

TEST(Script, AbortFromAnotherThreadEndsEndlessLoopsAndWaitsUncatchably) {
    for (const char* text : {"begin\n  while True do ;\nend.",
                             "begin\n  while True do\n    try\n      Sleep(100000);\n    except\n      LogEvent('swallowed');\n    end;\nend."}) {
        Host h;
        h.compile(text);
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            h.s.requestAbort();
        });
        auto start = std::chrono::steady_clock::now();
        try {
            h.s.run();
            ADD_FAILURE() << "run must end with an error";
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(e.aborted());
            EXPECT_STREQ(e.what(), "Script aborted");
            EXPECT_TRUE(e.hasPosition());
        }
        stopper.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(h.out.empty());
        EXPECT_THROW(h.s.run(), RuntimeError);  // stays set
        h.s.clearAbort();
    }
}

TEST(Script, RunawayRecursionOnASmallThreadStackIsAnError) {
    // Worker threads may have small stacks: the call limits must hold before the stack ends.
    struct Job {
        std::string result;
    } job;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 1024 * 1024);
    pthread_t t;
    auto body = [](void* p) -> void* {
        auto* j = static_cast<Job*>(p);
        std::vector<std::string> out =
            corpus::RunText("PascalScript", "function r(n: integer): integer;\nbegin\n  Result := r(n + 1) + 1;\nend;\nbegin\n  r(0);\nend.");
        j->result = out.empty() ? "" : out.back();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&t, &attr, body, &job), 0);
    pthread_join(t, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(job.result, "error: Stack overflow: routine calls nested too deep at 3:3");
}

TEST(Script, CatalogueListsStandardAndHostEntries) {
    Host h;
    std::vector<CatalogueEntry> cat = h.s.catalogue();
    auto find = [&](const std::string& name) -> const CatalogueEntry* {
        for (auto& e : cat)
            if (e.name == name) return &e;
        return nullptr;
    };
    const CatalogueEntry* i2s = find("IntToStr");
    ASSERT_NE(i2s, nullptr);
    EXPECT_EQ(i2s->category, "Conversion");
    EXPECT_EQ(i2s->declaration, "function IntToStr(i: Int64): string");
    const CatalogueEntry* split = find("Split");
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->declaration, "function Split(const str: string; const separator: string = ','): Variant");
    ASSERT_NE(find("mbOk"), nullptr);
    EXPECT_EQ(find("mbOk")->declaration, "mbOk = 2");
    ASSERT_NE(find("line_content"), nullptr);
    EXPECT_EQ(find("line_content")->kind, "variable");
    int showMessages = 0;
    for (auto& e : cat) showMessages += e.name == "ShowMessage";
    EXPECT_EQ(showMessages, 1);  // the host's; the standard one is hidden
    for (const char* category : {"Conversion", "Strings", "Math", "Date and time", "Arrays", "Other"})
        EXPECT_TRUE(std::any_of(cat.begin(), cat.end(), [&](auto& e) { return e.category == category; })) << category;
}

TEST(Script, ManyThreadsShareTheGlobalUnit) {
    const std::string text = corpus::ReadFile(std::string(std::getenv("QUILLON_SOURCE_DIR") ? std::getenv("QUILLON_SOURCE_DIR")
                                                                                             : QUILLON_SCRIPT_SOURCE_DIR) +
                                              "/tests/script/corpus/strings.arp");
    std::vector<std::string> expected = corpus::RunText("PascalScript", text);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int k = 0; k < 50; ++k)
                if (corpus::RunText("PascalScript", text) != expected) ++mismatches;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
