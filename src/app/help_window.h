#pragma once
// The program's own help viewer for "moltrix5.hlp": a contents list and a
// keyword index with a search field beside the text of the chosen topic. The
// topic's paragraphs wrap at the viewer's width; commands and tables keep
// their lines. Return in the search field opens the marked (first) match.
#include <QWidget>
#include <string>

#include "help/help_file.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace moltrix::app {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(help::HelpFile file, QWidget* parent = nullptr);

    // The contents page: the first topic, with the topic list in front.
    void ShowContents();
    // The keyword index, its search field holding `keyword`.
    void ShowIndex(const std::string& keyword);
    void ShowTopic(std::size_t topic);

    // For tests.
    QTabWidget* Tabs() const { return tabs_; }
    QLineEdit* SearchField() const { return search_; }
    QListWidget* IndexList() const { return index_; }
    QString TopicText() const;

private slots:
    void search_textChanged(const QString& text);
    void contents_currentRowChanged(int row);
    void index_itemActivated();

private:
    help::HelpFile file_;
    QTabWidget* tabs_;
    QListWidget* contents_;
    QLineEdit* search_;
    QListWidget* index_;
    QTextBrowser* text_;
};

}  // namespace moltrix::app
