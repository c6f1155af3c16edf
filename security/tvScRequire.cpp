#include "tvScRequire.h"

#include <QApplication>
#include <QThread>
#include <cstdio>

#include "PlainNotice.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScTexts.h"

namespace sec {
namespace {

bool WindowsAvailable() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

void Report(const QString& text, bool notify) {
    const std::string line = ToS(text);
    if (notify && WindowsAvailable()) {
        tv::ShowPlainNotice(line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
}

QString MissingLibrary(const char* exportName, const char* fileName) {
    return FormatText(Res("%s cannot work: %s not loaded!"), {exportName, fileName});
}

}  // namespace

bool Require(const char* exportName, unsigned needs, bool notify) {
    if ((needs & kNeedData) && !tvDa::Loaded()) {
        Report(MissingLibrary(exportName, tvDa::kFileName), notify);
        return false;
    }
    if ((needs & kNeedGeneral) && !tvGn::Loaded()) {
        Report(MissingLibrary(exportName, tvGn::kFileName), notify);
        return false;
    }
    if ((needs & kNeedWindows) && !WindowsAvailable()) {
        Report(FormatText(Res("%s cannot work: it must be called on the thread of a running "
                              "QApplication!"),
                          {exportName}),
               false);
        return false;
    }
    return true;
}

}  // namespace sec
