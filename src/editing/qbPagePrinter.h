#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QPageLayout;
class QPrinter;
class QWebEngineView;

// Prints what a web view shows, one print at a time. Through a printer the engine gives page
// images; a PDF file (a printer set to PDF output with a file name) is the engine's own PDF, with
// real text and 15 mm margins, written atomically. It lives with the view it prints.
class TqbPagePrinter : public QObject {
    Q_OBJECT
public:
    explicit TqbPagePrinter(QWebEngineView& view);
    ~TqbPagePrinter() override;

    // Finished follows (and Failed with the reason when it failed). The printer must live until
    // then. Throws EqbError while an earlier print is not finished.
    void Print(QPrinter* printer);
    // The program's own printer, offering the note's name for a file; with the print dialog when
    // withUi, else to the default printer.
    void Print(const QString& notePath, bool withUi);

signals:
    void Finished(bool success);
    void Failed(const QString& message);

private:
    void PrintToPdfFile(const QString& path, const QPageLayout& chosen);
    void End(const QString& failure);

    QWebEngineView& m_view;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
};
