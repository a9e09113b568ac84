#include "editing/qbPagePrinter.h"

#include "editing/qbPageText.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWebEnginePage>
#include <QWebEngineView>

TqbPagePrinter::TqbPagePrinter(QWebEngineView& view) : QObject(&view), m_view(view) {
    connect(&m_view, &QWebEngineView::printFinished, this,
            [this](bool success) { End(success ? QString() : tr("인쇄하지 못했습니다.")); });
}

TqbPagePrinter::~TqbPagePrinter() = default;

void TqbPagePrinter::Print(QPrinter* printer) {
    if (m_printing)
        throw EqbError(tr("앞의 인쇄가 아직 끝나지 않았습니다."));
    m_printing = true;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        PrintToPdfFile(printer->outputFileName(), printer->pageLayout());
    else
        m_view.print(printer);
}

void TqbPagePrinter::Print(const QString& notePath, bool withUi) {
    if (m_printing)
        throw EqbError(tr("앞의 인쇄가 아직 끝나지 않았습니다."));
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // A print to a file is offered under the note's name, not the last note's or "print.pdf".
    m_printer->setDocName(QFileInfo(notePath).completeBaseName());
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        m_printer->setOutputFileName(qbDhtml::PrintFileName(notePath, m_printer->outputFileName()));
    if (withUi) {
        QPrintDialog dialog(m_printer.get(), &m_view);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    Print(m_printer.get());
}

void TqbPagePrinter::PrintToPdfFile(const QString& path, const QPageLayout& chosen) {
    QPageLayout layout(chosen.pageSize(), chosen.orientation(), QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
    // The view and this printer may be gone by the time the engine answers.
    QPointer<TqbPagePrinter> self(this);
    m_view.page()->printToPdf(
        [self, path](const QByteArray& pdf) {
            if (!self)
                return;
            if (pdf.isEmpty()) {
                self->End(tr("PDF를 만들지 못했습니다."));
                return;
            }
            try {
                qbAtomicWrite::ReplaceFile(path, pdf);
            } catch (const EqbError& error) {
                self->End(error.Message());
                return;
            }
            self->End({});
        },
        layout);
}

void TqbPagePrinter::End(const QString& failure) {
    m_printing = false;
    if (!failure.isEmpty())
        emit Failed(failure);
    emit Finished(failure.isEmpty());
}
