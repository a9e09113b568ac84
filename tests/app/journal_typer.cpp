// The child of the journal test: opens a note in the program's window, types into it without
// end and says how far it got, until it is killed.
#include "app/qbApplication.h"
#include "common/qbWindowFixture.h"

#include <QFileInfo>
#include <cstdio>

namespace {

void Say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TqbApplication app(argc, argv);
    TqbWindowFixture fixture;
    fixture.Open([](TqbWindowFixture& f) {
        WriteBytes(f.Lib("note.htm"), "<HTML><BODY><P>start</P></BODY></HTML>\r\n");
    });
    // The test removes the folder once it has looked at what was left.
    fixture.Dir->setAutoRemove(false);
    fixture.Select("note");
    fixture.EnterMode(TqbViewMode::Edit);
    Say("dir " + QFile::encodeName(fixture.Dir->path()));
    bool journaled = false;
    for (int i = 0;; ++i) {
        fixture.TypeIntoPage(QStringLiteral("[글자%1]").arg(i));
        Say("typed " + QByteArray::number(i));
        // A person's pace: a word, then a moment's thought, when the journal may be written.
        QTest::qWait(1000);
        if (!journaled && QFileInfo::exists(fixture.Dir->filePath("qbJournal.txt"))) {
            journaled = true;
            Say("journaled");
        }
    }
}
