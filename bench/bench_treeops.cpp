// Makes a new note, renames one and moves a note with a picture out of a folder that holds 5,000
// notes (every other note there is read to see whether it shows the picture too), the way the
// tree's operations do (dialogs answered at once), and prints the times; then the same as plain
// calls on the library, without the tree. Aim: each under 100 ms (the move: under 500 ms).
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "library/qbLibrary.h"
#include "library/qbTemplates.h"
#include "library/qbTree.h"
#include "qbBenchTreeHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int NoteCount = 5000;
constexpr int Runs = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    const QString root = temp.filePath("BookData");
    const QString big = root + "/큰 폴더";
    QDir().mkpath(big);
    // Notes of a few kilobytes, as typed ones are.
    const QByteArray body = "<HTML><BODY>" + QByteArray(4000, 'x') + "</BODY></HTML>\r\n";
    for (int i = 0; i < NoteCount; ++i) {
        QFile file(big + QStringLiteral("/노트 %1.htm").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(body);
    }
    QDir().mkpath(big + "/__images");
    QDir().mkpath(root + "/다른 폴더");
    for (const auto& [path, bytes] :
         {std::pair{big + "/그림 노트.htm", QByteArray("<HTML><BODY><IMG src=\"__images/p.png\">"
                                                       "</BODY></HTML>\r\n")},
          std::pair{big + "/__images/p.png", QByteArray(20000, 'p')}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    TNullHost host;
    host.Templates = temp.filePath("qbTemplate/");
    qbTemplates::InstallMissing(host.Templates);

    TqbLibrary treeLibrary(host);
    TqbTree tree(host, treeLibrary, nullptr);
    tree.resize(300, 600);
    tree.show();
    tree.LoadRoot(root);
    const QAbstractItemModel& rows = *tree.model();
    const auto child = [&](const QModelIndex& parent, const QString& text) {
        for (int i = 0; i < rows.rowCount(parent); ++i)
            if (rows.index(i, 0, parent).data().toString() == text)
                return QPersistentModelIndex(rows.index(i, 0, parent));
        return QPersistentModelIndex();
    };
    const QPersistentModelIndex folder = child({}, QStringLiteral("큰 폴더"));
    const QPersistentModelIndex other = child({}, QStringLiteral("다른 폴더"));
    tree.ExpandFolder(folder);
    QApplication::processEvents();

    QString typed;
    tree.SetDialogRunner([&](QDialog& dialog) {
        if (auto* user = dynamic_cast<TfrmUserFileName*>(&dialog)) {
            user->edtName->setText(typed);
            user->btnConfirmClick();
            return user->result() == QDialog::Accepted;
        }
        auto* note = dynamic_cast<TfrmNewNoteName*>(&dialog);
        note->btnConfirmClick(); // the proposed name, the first template
        return note->result() == QDialog::Accepted;
    });

    std::vector<double> newNote, rename, moveOut;
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        tree.setCurrentIndex(folder);
        timer.start();
        tree.NewNote(false);
        QApplication::processEvents();
        newNote.push_back(timer.nsecsElapsed() / 1e6);

        const QModelIndex node = rows.index(NoteCount / 2, 0, folder);
        typed = QStringLiteral("바뀐 이름 %1").arg(run);
        timer.start();
        tree.RenameNode(node);
        QApplication::processEvents();
        rename.push_back(timer.nsecsElapsed() / 1e6);

        timer.start();
        tree.MoveNode(other, child(folder, QStringLiteral("그림 노트")));
        moveOut.push_back(timer.nsecsElapsed() / 1e6);
        if (!QFile::exists(root + "/다른 폴더/__images/p.png") ||
            QFile::exists(big + "/__images/p.png"))
            return 3;
        tree.MoveNode(folder, child(other, QStringLiteral("그림 노트")));
        QApplication::processEvents();
    }
    // The library alone: what the tree adds is the difference.
    TqbLibrary library(host);
    library.SetRoot(root);
    std::vector<double> libNew, libRename, libMove;
    for (int run = 0; run < Runs; ++run) {
        const QString note = big + QStringLiteral("/바로 %1.htm").arg(run);
        timer.start();
        library.CreateNote(note, {}, host.TreeDefaultHeader());
        libNew.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        library.Rename(note, big + QStringLiteral("/바로 바뀐 %1.htm").arg(run));
        libRename.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        library.Move(big + "/그림 노트.htm", root + "/다른 폴더");
        libMove.push_back(timer.nsecsElapsed() / 1e6);
        library.Move(root + "/다른 폴더/그림 노트.htm", big);
    }
    const int notes = int(QDir(big).entryList({"*.htm"}, QDir::Files).size()) - Runs;
    std::printf("folder of %d notes (now %d), median of %d runs\n", NoteCount, notes, Runs);
    std::printf("new note: %.2f ms (first %.2f ms)\n", Median(newNote), newNote.front());
    std::printf("rename:   %.2f ms (first %.2f ms)\n", Median(rename), rename.front());
    std::printf("move a note with a picture out: %.2f ms (first %.2f ms)\n", Median(moveOut),
                moveOut.front());
    std::printf("the library alone: new note %.2f ms, rename %.2f ms, move out %.2f ms\n",
                Median(libNew), Median(libRename), Median(libMove));
    const bool ok = notes == NoteCount + 1 + Runs && Median(newNote) < 100 &&
                    Median(rename) < 100 && Median(moveOut) < 500 && Median(libMove) < 500;
    std::printf("%s\n",
                ok ? "within the aims (100 ms; the move 500 ms)" : "OVER the aims or wrong count");
    return ok ? 0 : 2;
}
