// Standard functions for errors, messages and waiting.
#include <chrono>
#include <cstdio>
#include <thread>

#include "LibSupport.h"

namespace quillon::script {

using namespace lib;

namespace {

Value RaiseException(Ctx&, Value* a, size_t) { throw RuntimeError(text(a[0])); }

Value ExceptionMessage(Ctx& c, Value*, size_t) {
    return c.handled.empty() ? Value(std::string_view()) : Value(c.handled.back());
}

void show(Ctx& c, const std::string& s) {
    if (c.messageOut) (*c.messageOut)(s);
    else std::printf("%s\n", s.c_str());
}

Value ShowMessage(Ctx& c, Value* a, size_t) {
    show(c, text(a[0]));
    return {};
}

Value MessageDlg(Ctx& c, Value* a, size_t) {
    show(c, text(a[0]));
    return Value(int64_t(1));  // mrOk: nobody to answer in stand-alone use
}

// Sleeps in short slices so that an abort ends the wait at once.
Value Sleep(Ctx& c, Value* a, size_t) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<int64_t>(0, a[0].rawInt()));
    while (std::chrono::steady_clock::now() < until) {
        if (c.abort->load(std::memory_order_relaxed)) throwAbort(c);
        auto left = until - std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(10)));
    }
    return {};
}

}  // namespace

void addOtherFunctions(GlobalUnit& u) {
    const char* c = "Other";
    u.addFunction("procedure RaiseException(const Msg: string)", c, RaiseException);
    u.addFunction("function ExceptionMessage: string", c, ExceptionMessage, false, "the text of the error being handled");
    u.addFunction("procedure ShowMessage(const Msg: string)", c, ShowMessage);
    u.addFunction("function MessageDlg(const Msg: string; DlgType: Integer; Buttons: Variant; HelpCtx: Integer = 0): Integer", c,
                  MessageDlg);
    u.addFunction("procedure Sleep(Milliseconds: Integer)", c, Sleep);
    static const std::pair<const char*, int64_t> consts[] = {{"mrNone", 0}, {"mrOk", 1},  {"mrCancel", 2},
                                                             {"mrYes", 6},  {"mrNo", 7},  {"MaxInt", 2147483647}};
    for (auto& [name, v] : consts) u.addConstant(name, Value(v));
}

}  // namespace quillon::script
