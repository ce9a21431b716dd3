#include "qt_platform.h"

#include "platform/busy_wait.h"
#include "platform/plain_clock.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <vector>

#include "help_window.h"
#include "product.h"
#include "qt_text.h"

namespace moltrix::app {
namespace {

// A dialog without a title of its own shows the program's.
QString BoxTitle(const std::string& title) { return title.empty() ? QString::fromLatin1(kAppTitle) : Q(title); }

QTime ToQTime(const platform::LocalDateTime& t) { return QTime(t.hour, t.minute, t.second); }

}  // namespace

// ---- Clock ----

void QtClock::Sleep(int milliseconds) {
    if (milliseconds >= 1 && refresh_) refresh_->RefreshNow();
    if (sleeper_) {
        sleeper_->Sleep(milliseconds);
        return;
    }
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtClock::Spin(std::int32_t passes) {
    if (sleeper_) {
        sleeper_->Spin(passes);
        return;
    }
    platform::PacedSpin(platform::ThisPc(), passes);
}

void QtClock::SpinNanos(std::int64_t nanos) {
    if (sleeper_) {
        sleeper_->SpinNanos(nanos);
        return;
    }
    platform::SpinNanos(platform::ThisPc(), nanos);
}

std::int64_t QtClock::MonotonicMicros() {
    return sleeper_ ? sleeper_->MonotonicMicros() : platform::SteadyMicros();
}

platform::LocalDateTime QtClock::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::string QtClock::FormatTime(const platform::LocalDateTime& t) {
    // The user's long time format shows seconds; we drop its time zone.
    static const QString format = [] {
        QString f = QLocale::system().timeFormat(QLocale::LongFormat);
        f.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
        return f.trimmed();
    }();
    return QLocale::system().toString(ToQTime(t), format).toStdString();
}

std::string QtClock::FormatShortDate(const platform::LocalDateTime& t) {
    return QLocale::system().toString(QDate(t.year, t.month, t.day), QLocale::ShortFormat).toStdString();
}

// ---- Sound ----

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayAsync(const std::filesystem::path& wavFile) {
    if (playing_) playing_->stop();
    playing_ = nullptr;
    auto it = effects_.find(wavFile);
    if (it == effects_.end()) {
        const QString path = QString::fromStdString(wavFile.string());
        if (!QFileInfo(path).isFile()) return;
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
        it = effects_.emplace(wavFile, std::move(effect)).first;
    }
    // QSoundEffect loads in the background and starts once loaded; a failed load
    // or a missing audio device only leaves it silent.
    it->second->play();
    playing_ = it->second.get();
}

// ---- Settings ----

std::string QtSettingsStore::Get(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) {
    QSettings s(Q(app), Q(app));
    const QVariant v = s.value(Q(section + "/" + key));
    return v.isValid() ? v.toString().toStdString() : defaultValue;
}

void QtSettingsStore::Set(const std::string& app, const std::string& section, const std::string& key,
                          const std::string& value) {
    QSettings s(Q(app), Q(app));
    s.setValue(Q(section + "/" + key), Q(value));
}

// ---- Dialogs ----

void QtDialogs::BeforeShowing() {
    if (refresh_) refresh_->RefreshNow();
}

platform::MsgResult QtDialogs::MessageBox(const std::string& text, const std::string& title,
                                          platform::MsgIcon icon, platform::MsgButtons buttons,
                                          platform::MsgDefault defaultButton) {
    using platform::MsgButtons;
    using platform::MsgIcon;
    using platform::MsgResult;
    BeforeShowing();
    QMessageBox box(owner_);
    box.setWindowTitle(BoxTitle(title));
    box.setText(Q(text));
    switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    // The buttons in the order the interface counts them; the last one (Cancel,
    // or No without a Cancel) is also what Escape and the close button give.
    std::vector<QMessageBox::StandardButton> order;
    switch (buttons) {
        case MsgButtons::Ok: order = {QMessageBox::Ok}; break;
        case MsgButtons::OkCancel: order = {QMessageBox::Ok, QMessageBox::Cancel}; break;
        case MsgButtons::YesNo: order = {QMessageBox::Yes, QMessageBox::No}; break;
        case MsgButtons::YesNoCancel: order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    }
    QMessageBox::StandardButtons set;
    for (auto b : order) set |= b;
    box.setStandardButtons(set);
    const auto place = static_cast<std::size_t>(defaultButton);
    box.setDefaultButton(order[place < order.size() ? place : 0]);
    box.setEscapeButton(order.back());
    switch (box.exec()) {
        case QMessageBox::Ok: return MsgResult::Ok;
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        default: break;
    }
    // Closing the box with its close button or Escape counts as the cancelling answer.
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    if (buttons == MsgButtons::YesNo) return MsgResult::No;
    return MsgResult::Cancel;
}

std::string QtDialogs::InputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) {
    BeforeShowing();
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner_, BoxTitle(title), Q(prompt), QLineEdit::Normal, Q(defaultText), &ok);
    return ok ? answer.toStdString() : std::string();
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        qtFilters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                         QLatin1Char(')');
    }
    return qtFilters.join(QStringLiteral(";;"));
}

std::string QtDialogs::FileDialog(platform::FileDialogMode mode, const std::string& title,
                                  const std::string& filter, int* chosenType) {
    BeforeShowing();
    const QString qtFilter = QtFileFilter(filter);
    // Neither form insists that the file exists, and saving asks nothing more:
    // the program reports a missing file itself and replaces a file it saves over.
    QFileDialog dialog(owner_, BoxTitle(title), QString(), qtFilter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(mode == platform::FileDialogMode::Open ? QFileDialog::AcceptOpen
                                                                : QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (chosenType) *chosenType = std::max<int>(0, static_cast<int>(qtFilter.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst().toStdString();
}

// ---- Help and launching ----

QtHelpViewer::QtHelpViewer() = default;
QtHelpViewer::~QtHelpViewer() = default;

std::string QtHelpViewer::Show(const std::filesystem::path& helpFile, int command, const std::string& keyword) {
    QFile file(QString::fromStdString(helpFile.string()));
    if (!file.open(QIODevice::ReadOnly)) return "The help file " + helpFile.string() + " cannot be opened.";
    const QByteArray bytes = file.readAll();
    help::HelpError error;
    auto manual = help::ParseHelp(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &error);
    if (!manual)
        return "The help file " + helpFile.string() + " cannot be read: line " + std::to_string(error.line) + ", " +
               error.reason + ".";
    window_ = std::make_unique<HelpWindow>(std::move(*manual));
    if (command == platform::kHelpPartialKey)
        window_->ShowIndex(keyword);
    else
        window_->ShowContents();
    window_->show();
    window_->raise();
    window_->activateWindow();
    return {};
}

bool QtLauncher::Launch(const std::string& program) {
    return QProcess::startDetached(Q(program), {});
}

// ---- Refresh ----

void QtUiRefresh::Refresh() {
    if (sinceLast_.isValid() && sinceLast_.elapsed() < minIntervalMs_) return;
    RefreshNow();
}

void QtUiRefresh::RefreshNow() {
    if (!target_) return;
    sinceLast_.start();
    target_->SyncFromModel();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace moltrix::app
