#include "tvScEventLogSettings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "tvDaHeader.h"
#include "tvScAutoPurge.h"
#include "tvScDates.h"
#include "tvScTexts.h"

namespace sec {

TfrmEventLogSettings::TfrmEventLogSettings(QWidget* owner)
    : QDialog(owner),
      gbxAutoPurge(new QGroupBox(QStringLiteral("Auto-Purge"), this)),
      rbnNoPurge(new QRadioButton(QStringLiteral("No Auto-Purge"), gbxAutoPurge)),
      rbnPurgeMonths(new QRadioButton(QStringLiteral("Purge records older than "), gbxAutoPurge)),
      edtMonths(new QLineEdit(QStringLiteral("3"), gbxAutoPurge)),
      lblMonths(new QLabel(QStringLiteral("months"), gbxAutoPurge)),
      bbOK(new QPushButton(QStringLiteral("&OK"), this)),
      bbCancel(new QPushButton(QStringLiteral("&Cancel"), this)),
      bbHelp(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName("TfrmEventLogSettings");
    gbxAutoPurge->setObjectName("gbxAutoPurge");
    rbnNoPurge->setObjectName("rbnNoPurge");
    rbnPurgeMonths->setObjectName("rbnPurgeMonths");
    edtMonths->setObjectName("edtMonths");
    lblMonths->setObjectName("lblMonths");
    bbOK->setObjectName("bbOK");
    bbCancel->setObjectName("bbCancel");
    bbHelp->setObjectName("bbHelp");
    setWindowTitle(QStringLiteral("Event Log Settings"));

    rbnPurgeMonths->setChecked(true);
    edtMonths->setMaximumWidth(60);
    bbOK->setDefault(true);
    bbCancel->setAutoDefault(false);
    bbHelp->setAutoDefault(false);

    auto* months = new QHBoxLayout;
    months->addWidget(rbnPurgeMonths);
    months->addWidget(edtMonths);
    months->addWidget(lblMonths);
    months->addStretch();
    auto* group = new QVBoxLayout(gbxAutoPurge);
    group->addWidget(rbnNoPurge);
    group->addLayout(months);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbOK);
    buttons->addWidget(bbCancel);
    buttons->addWidget(bbHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbxAutoPurge);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(rbnNoPurge, &QRadioButton::toggled, this, &TfrmEventLogSettings::rbnPurgeMonthsClick);
    connect(rbnPurgeMonths, &QRadioButton::toggled, this,
            &TfrmEventLogSettings::rbnPurgeMonthsClick);
    connect(bbOK, &QPushButton::clicked, this, &TfrmEventLogSettings::bbOKClick);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmEventLogSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmEventLogSettings::FormShow() {
    const std::string value = tvDa::GetSettingValue(0, kExpirySetting);
    if (value == "-1") {
        rbnNoPurge->setChecked(true);
    } else {
        // A missing setting keeps the offered 3 months.
        if (!value.empty()) edtMonths->setText(ToQ(value));
        rbnPurgeMonths->setChecked(true);
    }
    rbnPurgeMonthsClick();
}

void TfrmEventLogSettings::rbnPurgeMonthsClick() {
    edtMonths->setEnabled(rbnPurgeMonths->isChecked());
}

void TfrmEventLogSettings::bbOKClick() {
    std::string value = "-1";
    if (rbnPurgeMonths->isChecked()) {
        // The login reads the setting as a whole number; anything else is refused here so
        // that a stored value always is one.
        const std::optional<int> months = ParseExpiryMonths(ToS(edtMonths->text()));
        if (!months || *months < 0) {
            Warn(QStringLiteral("The number of months must be a whole number of 0 or more!"));
            edtMonths->setFocus();
            edtMonths->selectAll();
            return;
        }
        value = std::to_string(*months);
    }
    if (!tvDa::SetSettingValue(0, kExpirySetting, value.c_str())) {
        Fail(QStringLiteral("The Event Log settings could not be saved!"));
        return;
    }
    accept();
}

}  // namespace sec
