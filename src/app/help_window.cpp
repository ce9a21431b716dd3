#include "help_window.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "qt_text.h"

namespace moltrix::app {

HelpWindow::HelpWindow(help::HelpFile file, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(std::move(file)), tabs_(new QTabWidget), contents_(new QListWidget),
      search_(new QLineEdit), index_(new QListWidget), text_(new QTextBrowser) {
    setWindowTitle(QStringLiteral("MOLTRIX Help"));
    for (const auto& t : file_.topics) contents_->addItem(Q(t.title));
    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    search_->setPlaceholderText(QStringLiteral("Type the first letters of a word"));
    indexLayout->addWidget(search_);
    indexLayout->addWidget(index_);
    tabs_->addTab(contents_, QStringLiteral("Contents"));
    tabs_->addTab(indexPage, QStringLiteral("Index"));
    text_->setOpenLinks(false);
    QFont fixed = text_->font();
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFamily(QStringLiteral("monospace"));
    text_->setFont(fixed);

    auto* splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    resize(820, 520);

    connect(search_, &QLineEdit::textChanged, this, &HelpWindow::search_textChanged);
    connect(contents_, &QListWidget::currentRowChanged, this, &HelpWindow::contents_currentRowChanged);
    connect(index_, &QListWidget::itemActivated, this, &HelpWindow::index_itemActivated);
    connect(index_, &QListWidget::itemClicked, this, &HelpWindow::index_itemActivated);
    search_textChanged({});
}

void HelpWindow::ShowContents() {
    tabs_->setCurrentIndex(0);
    contents_->setCurrentRow(0);
    ShowTopic(0);
}

void HelpWindow::ShowIndex(const std::string& keyword) {
    tabs_->setCurrentIndex(1);
    search_->setText(Q(keyword));
    search_textChanged(search_->text());
    search_->setFocus();
}

void HelpWindow::ShowTopic(std::size_t topic) {
    if (topic >= file_.topics.size()) return;
    const auto& t = file_.topics[topic];
    text_->setPlainText(Q(t.title + "\n\n" + t.text));
}

QString HelpWindow::TopicText() const { return text_->toPlainText(); }

void HelpWindow::search_textChanged(const QString& text) {
    index_->clear();
    for (const auto& entry : help::KeywordIndex(file_, text.toStdString())) {
        auto* item = new QListWidgetItem(Q(entry.keyword), index_);
        item->setData(Qt::UserRole, static_cast<qulonglong>(entry.topic));
    }
    if (index_->count() > 0) index_->setCurrentRow(0);
}

void HelpWindow::contents_currentRowChanged(int row) {
    if (row >= 0) ShowTopic(static_cast<std::size_t>(row));
}

void HelpWindow::index_itemActivated() {
    if (auto* item = index_->currentItem()) ShowTopic(item->data(Qt::UserRole).toULongLong());
}

}  // namespace moltrix::app
