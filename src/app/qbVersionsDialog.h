#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QLabel;
class QTextEdit;
class QTreeWidget;
class TqbPageView;

// One page that may replace the note: a kept version, or what the journal holds.
struct TqbVersionRow {
    QString Caption; // when it was written
    qint64 Bytes = 0;
    QString Path;
};

// The lines a reader sees on a page, blank ones left out: what the comparison weighs.
QStringList qbVisibleLines(const QByteArray& pageBytes);
// The comparison of a version's visible lines with the note's as HTML for a text view: lines
// only the version has marked "-" on red, lines only the note has now "+" on green.
QString qbComparisonHtml(const QByteArray& versionBytes, const QByteArray& currentBytes);

// Lists the pages by time and size; the chosen one shows read-only as the note would look, beside
// its comparison with the note as it is now. "되살리기" accepts with the chosen page.
class TqbVersionsDialog : public QDialog {
    Q_OBJECT
public:
    TqbVersionsDialog(const QString& title, const QString& notePath,
                      const QList<TqbVersionRow>& rows, QWidget* parent = nullptr);

    QString ChosenPath() const;
    QTreeWidget* Rows() const { return m_rows; }
    QTextEdit* Comparison() const { return m_comparison; }

private:
    void ShowChosen();

    QString m_notePath;
    QTreeWidget* m_rows = nullptr;
    TqbPageView* m_page = nullptr;
    QTextEdit* m_comparison = nullptr;
};
