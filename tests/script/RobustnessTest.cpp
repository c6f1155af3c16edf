// No text may crash, hang or exhaust the engine: mutated corpus programs, random bytes,
// deep nesting and huge literals give a compile error or a run, in every syntax.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "CorpusRunner.h"
#include "Script.h"

namespace fs = std::filesystem;
using namespace quillon::script;

namespace {

const char* const kSyntaxes[] = {"PascalScript", "C++Script", "BasicScript"};

fs::path CorpusDir() {
    const char* src = std::getenv("QUILLON_SOURCE_DIR");
    return fs::path(src ? src : QUILLON_SCRIPT_SOURCE_DIR) / "tests" / "script" / "corpus";
}

// Aborts a run that takes longer than a moment (a loop with an empty body runs no
// statement, so the statement budget alone cannot end it).
class Watchdog {
public:
    Watchdog() : thread_([this] { loop(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stop_ = true;
        }
        thread_.join();
    }
    void watch(Script* s) {
        std::lock_guard<std::mutex> lock(m_);
        script_ = s;
        since_ = std::chrono::steady_clock::now();
    }

private:
    void loop() {
        while (true) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::lock_guard<std::mutex> lock(m_);
            if (stop_) return;
            if (script_ && std::chrono::steady_clock::now() - since_ > std::chrono::milliseconds(200)) script_->requestAbort();
        }
    }
    std::mutex m_;
    Script* script_ = nullptr;
    std::chrono::steady_clock::time_point since_;
    bool stop_ = false;
    std::thread thread_;
};

Watchdog& TheWatchdog() {
    static Watchdog w;
    return w;
}

// Compiles and, when that succeeds, runs with a budget of statements and of time. Returns "compile",
// "run" or "error" (a run-time error); anything else fails the test.
std::string Exercise(const std::string& syntax, const std::string& text) {
    std::vector<std::string> out;
    Script s;
    s.setSyntax(syntax);
    corpus::DeclareTestHost(s, out);
    s.setText(text);
    if (!s.compile()) {
        EXPECT_FALSE(s.errorText().empty());
        EXPECT_GE(s.errorLine(), 1);
        EXPECT_GE(s.errorCol(), 1);
        return "compile";
    }
    int steps = 0;
    s.setStatementHook([&](int, int) {
        if (++steps > 20000) s.requestAbort();
    });
    struct Unwatch {
        ~Unwatch() { TheWatchdog().watch(nullptr); }
    } unwatch;
    TheWatchdog().watch(&s);
    try {
        s.run();
        s.run();
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.hasPosition()) << e.what();
        return "error";
    }
    return "run";
}

TEST(Robustness, MutatedCorpusProgramsNeverCrash) {
    std::vector<std::string> texts;
    for (auto& e : fs::directory_iterator(CorpusDir()))
        if (!corpus::SyntaxOf(e.path().string()).empty()) texts.push_back(corpus::ReadFile(e.path().string()));
    ASSERT_FALSE(texts.empty());
    // QUILLON_FUZZ_SEED and QUILLON_FUZZ_SECONDS explore further than the default run
    const char* seedText = std::getenv("QUILLON_FUZZ_SEED");
    const char* secondsText = std::getenv("QUILLON_FUZZ_SECONDS");
    std::mt19937 rng(seedText ? unsigned(std::atol(seedText)) : 12345u);
    const char junk[] = "begin end ( ) [ ] { } ; : = + - * / ' \" # $ 0 1 9 . , \n If Then End For Next Do Loop \\ _ & ^";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(secondsText ? std::atol(secondsText) : 4);
    size_t cases = 0;
    std::map<std::string, int> outcomes;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string t = texts[rng() % texts.size()];
        switch (rng() % 5) {
        case 0: t.resize(rng() % (t.size() + 1)); break;                     // truncated
        case 1:                                                               // bytes flipped
            for (int k = 0; k < 1 + int(rng() % 4) && !t.empty(); ++k) t[rng() % t.size()] = char(rng() % 256);
            break;
        case 2:                                                               // tokens inserted
            for (int k = 0; k < 1 + int(rng() % 4); ++k) t.insert(rng() % (t.size() + 1), 1, junk[rng() % (sizeof junk - 1)]);
            break;
        case 3: {                                                             // a stretch removed
            size_t a = rng() % (t.size() + 1), n = rng() % 40;
            t.erase(a, n);
            break;
        }
        case 4: {                                                             // a stretch duplicated
            size_t a = rng() % (t.size() + 1), n = rng() % 200;
            t.insert(a, t.substr(a, n));
            break;
        }
        }
        for (const char* syntax : kSyntaxes) ++outcomes[Exercise(syntax, t)];
        ++cases;
    }
    EXPECT_GT(cases, 100u);
    std::printf("%zu mutated programs: %d compile errors, %d runs, %d run-time errors\n", cases, outcomes["compile"],
                outcomes["run"], outcomes["error"]);
}

TEST(Robustness, RandomBytesGiveCompileErrors) {
    std::mt19937 rng(7);
    for (int k = 0; k < 300; ++k) {
        std::string t(rng() % 300, '\0');
        for (char& c : t) c = char(rng() % 256);
        for (const char* syntax : kSyntaxes) Exercise(syntax, t);
    }
}

std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

TEST(Robustness, DeepNestingIsRefusedWithAnError) {
    const int n = 10000;
    struct Case {
        const char* syntax;
        std::string text;
    } cases[] = {
        {"PascalScript", "begin LogEvent(" + Repeat("(", n) + "1" + Repeat(")", n) + "); end."},
        {"PascalScript", Repeat("begin ", n) + Repeat("end; ", n) + "."},
        {"PascalScript", "begin LogEvent(" + Repeat("[", n) + Repeat("]", n) + "); end."},
        {"PascalScript", "begin LogEvent(" + Repeat("-", n) + "1); end."},
        {"PascalScript", "begin LogEvent(1" + Repeat(" + 1", n) + "); end."},
        {"PascalScript", "begin " + Repeat("if True then ", n) + "LogEvent(1); end."},
        {"C++Script", Repeat("{", n) + Repeat("}", n)},
        {"C++Script", "LogEvent(" + Repeat("!", n) + "true);"},
        {"C++Script", "LogEvent(1" + Repeat(" * 1", n) + ");"},
        {"BasicScript", Repeat("If True Then\n", n) + Repeat("End If\n", n)},
        {"BasicScript", "LogEvent 2" + Repeat(" ^ 1", n)},
        {"BasicScript", "LogEvent " + Repeat("Not ", n) + "True"},
    };
    for (const Case& c : cases) {
        Script s;
        s.setSyntax(c.syntax);
        std::vector<std::string> out;
        corpus::DeclareTestHost(s, out);
        s.setText(c.text);
        EXPECT_FALSE(s.compile()) << c.syntax << " " << c.text.substr(0, 40);
        EXPECT_TRUE(s.errorText() == "Nesting too deep" || s.errorText() == "Expression too complex") << s.errorText();
    }
}

TEST(Robustness, ModerateNestingStillWorks) {
    std::string text = "begin LogEvent(" + Repeat("(", 40) + "1" + Repeat(" + 1)", 40) + "); end.";
    EXPECT_EQ(corpus::RunText("PascalScript", text), std::vector<std::string>{"41"});
}

TEST(Robustness, UnterminatedAndHugeLiterals) {
    const std::string big(1 << 20, 'x');
    struct Case {
        const char* syntax;
        std::string text;
        const char* error;  // null: compiles and runs
    } cases[] = {
        {"PascalScript", "begin LogEvent('" + big, "Unterminated string"},
        {"PascalScript", "begin (* " + big, "Unterminated comment"},
        {"C++Script", "LogEvent(\"" + big, "Unterminated string"},
        {"C++Script", "/*" + big, "Unterminated comment"},
        {"BasicScript", "LogEvent \"" + big, "Unterminated string"},
        {"PascalScript", "begin LogEvent(Length('" + big + "')); end.", nullptr},
        {"C++Script", "LogEvent(Length(\"" + big + "\"));", nullptr},
        {"BasicScript", "LogEvent Length(\"" + big + "\")", nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::string> out = corpus::RunText(c.syntax, c.text);
        ASSERT_EQ(out.size(), 1u);
        if (c.error) EXPECT_EQ(out[0].rfind(std::string("compile error: ") + c.error, 0), 0u) << out[0];
        else EXPECT_EQ(out[0], "1048576");
    }
}

TEST(Robustness, RunawayMemoryIsARuntimeError) {
    for (const char* text : {"var s: string; begin s := 'x'; while True do s := s + s; end.",
                             "var a: variant; begin SetLength(a, 1000000000); end.",
                             "begin LogEvent(StringOfChar('x', 1000000000000)); end."}) {
        std::vector<std::string> out = corpus::RunText("PascalScript", text);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].rfind("error: ", 0), 0u) << out[0];
    }
}

}  // namespace
