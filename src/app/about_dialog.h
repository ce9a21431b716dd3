#pragma once
// The About box on screen: projects the core's About form and passes its two
// buttons to the core.
#include <QDialog>

#include "form/about_form.h"

namespace moltrix::app {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(form::AboutForm& form, QWidget* parent);
    // Shows the box modally; returns once the form says it is closed.
    void Run();

protected:
    void reject() override;  // Escape and the close box: the cancel button, OK

private slots:
    void cmdOK_clicked();
    void cmdSysInfo_clicked();

private:
    form::AboutForm& form_;
};

}  // namespace moltrix::app
