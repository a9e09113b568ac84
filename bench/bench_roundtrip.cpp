// Loads real pages into the editor, saves each unchanged and compares the text a reader sees
// before and after; a second save must give the same bytes as the first. Prints what differs.
// Pages: the files named on the command line, else up to 40 from /usr/share/doc, plus Korean
// notes made here.
#include "editing/qbDhtmlEdit.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <cstdio>

namespace {

// Korean notes as the program writes them, with the features notes use.
QList<QPair<QString, QByteArray>> KoreanNotes() {
    const QByteArray head = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                            "charset=euc-kr\">\r\n<style type=\"text/css\"><!--\r\nBODY,TD,DIV "
                            "{font-size:9pt}\r\n--></style></HEAD><BODY>\r\n";
    const QByteArray tail = "</BODY></HTML>\r\n";
    // 가나다, 똠, 회의록, 내용
    const QByteArray ganada = "\xB0\xA1\xB3\xAA\xB4\xD9", ttom = "\x8C\x63",
                     minutes = "\xC8\xB8\xC0\xC7\xB7\xCF", content = "\xB3\xBB\xBF\xEB";
    return {
        {"korean-plain.htm", head + "<DIV>" + ganada + " " + ttom + "</DIV>\r\n<DIV>&nbsp;</DIV>" + tail},
        {"korean-title.htm",
         head + "<DIV>\xA2\xBA<strong><font color=\"#4070aa\"> " + minutes +
             "</font></strong></DIV><DIV><HR></DIV><DIV></DIV>" + tail},
        {"korean-box.htm",
         head + "<table width=\"500\" border=\"0\" cellpadding=\"4\" cellspacing=\"1\" "
                "bgcolor=\"#3c62c6\"><tr bgcolor=\"#ffffff\"><td><div>" +
             content + "</div></td></tr></table>" + tail},
        {"korean-pre.htm", head + "<PRE>\r\n\r\n" + ganada + "  " + ttom + "\r\n  end</PRE>" + tail},
        {"korean-list.htm", head + "<UL><LI>" + ganada + "<LI>" + ttom + "</UL><OL><LI>1</OL>" + tail},
        {"korean-undeclared.htm", "<html><body><div>" + ganada + ttom + "</div></body></html>\r\n"},
        {"korean-utf8.htm", "<html><head><meta charset=\"utf-8\"></head><body><div>\xEA\xB0\x80"
                            "\xEB\x98\xA0 \xF0\x9F\x98\x80</div></body></html>\r\n"},
        {"korean-entities.htm", head + "<DIV>&lt;tag&gt; &amp; &quot;q&quot; &#xAC00; &nbsp;x</DIV>" + tail},
    };
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList sources = app.arguments().mid(1);
    if (sources.isEmpty()) {
        QDirIterator it("/usr/share/doc", {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && sources.size() < 40)
            sources << it.next();
        sources.sort();
    }
    QTemporaryDir dir;
    QList<QPair<QString, QByteArray>> pages;
    for (const QString& source : sources) {
        try {
            pages.append({QFileInfo(source).fileName(), qbText::ReadFileBytes(source)});
        } catch (const EqbError& error) {
            std::printf("  skipped: %s\n", qPrintable(error.Message()));
        }
    }
    pages += KoreanNotes();

    TqbDhtmlEdit edit;
    edit.resize(800, 600);
    edit.show();
    QWebEnginePage* page = edit.findChild<QWebEnginePage*>();
    const auto readerText = [&]() {
        QVariant text;
        bool done = false;
        page->runJavaScript("document.body ? document.body.innerText : ''",
                            QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
                                text = v;
                                done = true;
                            });
        if (!QTest::qWaitFor([&] { return done; }, 20000))
            return QString();
        return text.toString();
    };
    const auto load = [&](const QString& path) {
        QSignalSpy complete(&edit, &TqbDhtmlEdit::DocumentComplete);
        QSignalSpy failed(&edit, &TqbDhtmlEdit::DocumentLoadFailed);
        edit.LoadDocument(path);
        if (!QTest::qWaitFor([&] { return complete.count() > 0 || failed.count() > 0; }, 60000))
            return false;
        return edit.IsDocumentReady();
    };

    int same = 0, differ = 0, unstable = 0, failed = 0, withErrors = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const QString path = dir.filePath(QString("%1-%2").arg(i).arg(pages[i].first));
        try {
            qbText::WriteFileBytes(path, pages[i].second);
            if (!load(path))
                throw EqbError("did not load");
            if (edit.HadDecodingErrors())
                ++withErrors;
            const QString before = readerText();
            edit.SaveDocument(path);
            const QByteArray first = qbText::ReadFileBytes(path);
            if (!load(path))
                throw EqbError("saved page did not load");
            const QString after = readerText();
            edit.SaveDocument(path);
            if (qbText::ReadFileBytes(path) != first) {
                ++unstable;
                std::printf("  second save differs: %s\n", qPrintable(pages[i].first));
            }
            if (before == after) {
                ++same;
            } else {
                ++differ;
                qsizetype at = 0;
                while (at < before.size() && at < after.size() && before[at] == after[at])
                    ++at;
                std::printf("  text differs: %s at %lld: \"%s\" / \"%s\"\n",
                            qPrintable(pages[i].first), static_cast<long long>(at),
                            qPrintable(before.mid(at, 40).toHtmlEscaped()),
                            qPrintable(after.mid(at, 40).toHtmlEscaped()));
            }
        } catch (const EqbError& error) {
            ++failed;
            std::printf("  failed: %s: %s\n", qPrintable(pages[i].first), qPrintable(error.Message()));
        }
    }
    std::printf("round trips through the editor: %lld pages, %d read the same, %d differ, "
                "%d change on a second save, %d failed; %d had bytes invalid in their charset\n",
                static_cast<long long>(pages.size()), same, differ, unstable, failed, withErrors);
    return differ + unstable + failed == 0 ? 0 : 1;
}
