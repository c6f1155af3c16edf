#include "tvScTexts.h"

#include "tvGnHeader.h"
#include "tvLcHeader.h"

namespace sec {

QString Res(const char* key) { return ToQ(tvLc::GetResStr(key)); }

QString FormatText(const QString& pattern, std::initializer_list<QString> args) {
    QString out;
    auto next = args.begin();
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = pattern.indexOf(QLatin1String("%s"), from);
        if (at < 0 || next == args.end()) break;
        out += pattern.mid(from, at - from);
        out += *next++;
        from = at + 2;
    }
    out += pattern.mid(from);
    return out;
}

std::string SqlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

int ShowMessage(const QString& text, int kind) {
    return tvGn::ShowMsg(ToS(text), kind, tvBtnOK, 0);
}

int AskYesNo(const QString& text) {
    return tvGn::ShowMsg(ToS(text), tvMsgConfirmation, tvBtnYes | tvBtnNo, 0);
}

}  // namespace sec
