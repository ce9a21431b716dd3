#include "help_window.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextList>
#include <QVBoxLayout>

#include "help/topic_blocks.h"
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
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    // The topic's text gets the room: its tables of options run to 80 columns.
    splitter->setSizes({270, 610});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    resize(880, 540);

    connect(search_, &QLineEdit::textChanged, this, &HelpWindow::search_textChanged);
    connect(contents_, &QListWidget::currentRowChanged, this, &HelpWindow::contents_currentRowChanged);
    connect(index_, &QListWidget::itemActivated, this, &HelpWindow::index_itemActivated);
    connect(index_, &QListWidget::itemClicked, this, &HelpWindow::index_itemActivated);
    // Return in the search field opens the match the index has marked, the first one as typed.
    connect(search_, &QLineEdit::returnPressed, this, &HelpWindow::index_itemActivated);
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
    // Paragraphs in the desktop's font, wrapped once at the viewer's width;
    // commands and tables in the fixed-pitch font, line for line.
    auto* doc = text_->document();
    doc->clear();
    const QFont body = text_->font();
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const qreal gap = QFontMetricsF(body).lineSpacing() / 2;

    QTextCursor cursor(doc);
    QTextCharFormat titleChars;
    titleChars.setFontWeight(QFont::Bold);
    if (body.pointSizeF() > 0) titleChars.setFontPointSize(body.pointSizeF() * 1.25);
    QTextBlockFormat titleBlock;
    titleBlock.setBottomMargin(gap);
    cursor.setBlockFormat(titleBlock);
    cursor.setCharFormat(titleChars);
    cursor.insertText(Q(t.title));

    QTextCharFormat plainChars;
    plainChars.setFont(body);
    QTextCharFormat fixedChars;
    fixedChars.setFont(fixed);
    QTextList* list = nullptr;
    for (const auto& block : help::SplitBlocks(t.text)) {
        QTextBlockFormat format;
        format.setBottomMargin(gap);
        switch (block.kind) {
            case help::BlockKind::Paragraph:
                cursor.insertBlock(format, plainChars);
                cursor.insertText(Q(block.text));
                list = nullptr;
                break;
            case help::BlockKind::ListItem:
                cursor.insertBlock(format, plainChars);
                cursor.insertText(Q(block.text));
                if (list) {
                    list->add(cursor.block());
                } else {
                    list = cursor.createList(QTextListFormat::ListDisc);
                }
                break;
            case help::BlockKind::Preformatted: {
                list = nullptr;
                format.setNonBreakableLines(true);
                format.setLeftMargin(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')) * 4);
                const QStringList lines = Q(block.text).split(QLatin1Char('\n'));
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    format.setBottomMargin(i + 1 < lines.size() ? 0 : gap);
                    cursor.insertBlock(format, fixedChars);
                    cursor.insertText(lines[i]);
                }
                break;
            }
        }
    }
    text_->moveCursor(QTextCursor::Start);
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
