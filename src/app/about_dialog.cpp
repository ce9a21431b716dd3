#include "about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "icons.h"
#include "qt_text.h"

namespace moltrix::app {

AboutDialog::AboutDialog(form::AboutForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    setWindowTitle(Q(form.title));
    setModal(true);
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel;
    icon->setObjectName(Q(form.picIcon.name));
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    int row = 0;
    for (form::Label* l : {&form.lblTitle, &form.lblVersion, &form.lblDescription, &form.Label1, &form.lblDisclaimer}) {
        auto* label = new QLabel(Q(l->caption));
        label->setObjectName(Q(l->name));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        if (l == &form.lblTitle) {
            QFont big = label->font();
            big.setPointSizeF(big.pointSizeF() * 1.6);
            big.setBold(true);
            label->setFont(big);
        }
        grid->addWidget(label, row++, 1);
    }
    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(Q(form.cmdOK.caption), QDialogButtonBox::AcceptRole);
    ok->setObjectName(Q(form.cmdOK.name));
    ok->setDefault(true);
    auto* sysInfo = buttons->addButton(Q(form.cmdSysInfo.caption), QDialogButtonBox::ActionRole);
    sysInfo->setObjectName(Q(form.cmdSysInfo.name));
    sysInfo->setAutoDefault(false);
    grid->addWidget(buttons, row, 0, 1, 2);
    connect(ok, &QPushButton::clicked, this, &AboutDialog::cmdOK_clicked);
    connect(sysInfo, &QPushButton::clicked, this, &AboutDialog::cmdSysInfo_clicked);
    setFixedWidth(480);
}

void AboutDialog::Run() {
    if (form_.visible) exec();
}

void AboutDialog::reject() { cmdOK_clicked(); }

void AboutDialog::cmdOK_clicked() {
    form_.cmdOK.Click();
    if (!form_.visible) done(QDialog::Accepted);
}

void AboutDialog::cmdSysInfo_clicked() { form_.cmdSysInfo.Click(); }

}  // namespace moltrix::app
