// Prints key-to-paint times in a 1 MB note in edit mode, with the spell checker off and on:
// Latin keys, and Korean syllables as an input method composes them (each step of the
// composition painted). Median and slowest of the keys typed. Then how long a save waits for
// the page after one key in notes of one paragraph of growing length.
#include "editing/qbDhtmlEdit.h"
#include "editing/qbSpellCheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int TimeoutMs = 60000;
constexpr int Keys = 40;

// Paragraphs of Korean and English prose with a misspelt word in each, to 1 MB.
QByteArray MegabytePage() {
    const QByteArray paragraph =
        "<p>오늘은 맞춤법 검사를 시험하는 날입니다. 한글 문장과 English words teh 함께 "
        "씁니다. 틀린 낱말 맞춤뻡 하나가 들어 있습니다.</p>\r\n";
    QByteArray page = "<html><head><meta charset=\"utf-8\"></head><body>\r\n";
    while (page.size() < 1024 * 1024)
        page += paragraph;
    return page + "<p id=end>끝</p></body></html>\r\n";
}

// Counts the paints of the page's widget.
class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

struct TFigures {
    qint64 Median = 0;
    qint64 Slowest = 0;
};

TFigures Summarise(std::vector<qint64> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

// Sends the event to the page and waits for the next paint; microseconds, -1 for none.
qint64 ToPaint(QWidget* page, TPaintCounter& counter, QEvent* event) {
    const int before = counter.Paints;
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(page, event);
    if (!QTest::qWaitFor([&] { return counter.Paints > before; }, TimeoutMs))
        return -1;
    return timer.nsecsElapsed() / 1000;
}

TFigures TypeLatin(QWidget* page, TPaintCounter& counter) {
    std::vector<qint64> times;
    for (int i = 0; i < Keys; ++i) {
        const QString text(QChar(u'a' + i % 26));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, text);
        times.push_back(ToPaint(page, counter, &press));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + i % 26, Qt::NoModifier, text);
        QApplication::sendEvent(page, &release);
    }
    return Summarise(times);
}

// "한" composed as ㅎ, 하, 한, then committed; each step is one key.
TFigures TypeKorean(QWidget* page, TPaintCounter& counter) {
    std::vector<qint64> times;
    const QStringList steps = {QStringLiteral("ㅎ"), QStringLiteral("하"), QStringLiteral("한")};
    while (static_cast<int>(times.size()) < Keys) {
        for (const QString& step : steps) {
            QInputMethodEvent compose(step, {});
            times.push_back(ToPaint(page, counter, &compose));
        }
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("한"));
        times.push_back(ToPaint(page, counter, &commit));
    }
    return Summarise(times);
}

// One paragraph of prose, a misspelt word in every sentence, to about the given characters.
QByteArray OneParagraphPage(qsizetype chars) {
    const QString sentence =
        QStringLiteral("오늘은 맞춤법 검사를 시험하는 날입니다 teh 맞춤뻡 English words. ");
    QString text;
    while (text.size() < chars)
        text += sentence;
    return "<html><head><meta charset=\"utf-8\"></head><body><p>" + text.toUtf8() +
           "</p></body></html>\r\n";
}

// Shows the editor with the file open in edit mode, as the window opens a note in it; false when
// the page did not get there in time.
bool OpenForEditing(TqbDhtmlEdit& edit, const QString& path) {
    edit.resize(900, 700);
    edit.show();
    edit.activateWindow();
    QSignalSpy complete(&edit, &TqbDhtmlEdit::DocumentComplete);
    edit.SetBrowseMode(false);
    edit.FocusAtStart();
    edit.LoadDocument(path);
    return complete.wait(TimeoutMs) &&
           QTest::qWaitFor([&] { return edit.SelectionState().Editable; }, TimeoutMs);
}

// One key typed into a one-paragraph page in edit mode, spell checking wanted, then what a
// save asks of the page: milliseconds, -1 when the page did not answer.
qint64 KeyThenSave(const QString& path, qsizetype chars) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(OneParagraphPage(chars)) < 0)
        return -1;
    file.close();
    TqbDhtmlEdit edit;
    if (!OpenForEditing(edit, path))
        return -1;
    QWidget* page = edit.findChild<QWebEngineView*>()->focusProxy();
    TPaintCounter counter;
    page->installEventFilter(&counter);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    ToPaint(page, counter, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(page, &release);
    QElapsedTimer timer;
    timer.start();
    try {
        edit.DocumentBytes();
    } catch (...) {
        return -1;
    }
    return timer.elapsed();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TqbSpellCheck* spell = TqbSpellCheck::For(TqbDhtmlEdit::EngineProfile());
    if (!spell->Available()) {
        std::printf("no spelling dictionaries: nothing to compare\n");
        return 0;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("big.htm");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MegabytePage()) < 0)
        return 1;
    file.close();

    TqbDhtmlEdit edit;
    if (!OpenForEditing(edit, path))
        return 1;
    QWidget* page = edit.findChild<QWebEngineView*>()->focusProxy();
    TPaintCounter counter;
    page->installEventFilter(&counter);

    std::printf("key to paint in a 1 MB note in edit mode, %d keys, median / slowest (ms):\n",
                Keys);
    // Twice each, alternating: the machine's own noise shows beside the difference.
    for (const bool on : {false, true, false, true}) {
        spell->SetWanted(on);
        // The engine checks the page in the background once it is on: let it settle first.
        QTest::qWait(on ? 3000 : 500);
        const TFigures latin = TypeLatin(page, counter);
        const TFigures korean = TypeKorean(page, counter);
        std::printf("  spell checking %-3s  Latin keys %6.2f / %6.2f   Korean composition "
                    "%6.2f / %6.2f\n",
                    on ? "on" : "off", latin.Median / 1000.0, latin.Slowest / 1000.0,
                    korean.Median / 1000.0, korean.Slowest / 1000.0);
        std::fflush(stdout);
    }

    spell->SetWanted(true);
    std::printf("one key, then the save's read of a note of one paragraph, spell checking wanted "
                "(paragraphs up to %lld characters checked):\n",
                static_cast<long long>(TqbSpellCheck::MaxCheckedParagraph));
    for (const qsizetype kb : {16, 32, 64, 256, 1024}) {
        const qint64 ms = KeyThenSave(dir.filePath("paragraph.htm"), kb * 1024);
        std::printf("  %5lld K characters  %s %lld ms\n", static_cast<long long>(kb),
                    ms < 0 ? "no answer after" : "", static_cast<long long>(ms));
        std::fflush(stdout);
    }
    return 0;
}
