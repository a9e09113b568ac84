// Lists one large folder the way the note tree does and prints the times.
#include "qbBenchTiming.h"
#include "library/qbFolderListing.h"
#include "library/qbTree.h"
#include "qbBenchTreeHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <limits>

namespace {

constexpr int NoteCount = 10000;
constexpr int FolderCount = 1000;
constexpr int Runs = 7;

bool Touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

bool BuildLibrary(const QString& dir) {
    QDir root(dir);
    for (int i = 0; i < NoteCount; ++i)
        if (!Touch(dir + QStringLiteral("/노트 %1 memo.htm")
                             .arg(i * 7919 % NoteCount, 5, 10, QLatin1Char('0'))))
            return false;
    for (int i = 0; i < FolderCount; ++i) {
        const QString name =
            QStringLiteral("폴더 %1").arg(i * 641 % FolderCount, 4, 10, QLatin1Char('0'));
        if (!root.mkdir(name) || !Touch(dir + u'/' + name + QStringLiteral("/안.htm")))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir temp;
    const QString dir = temp.path() + QStringLiteral("/BookData");
    if (!temp.isValid() || !QDir().mkdir(dir) || !BuildLibrary(dir)) {
        std::fprintf(stderr, "cannot build the library under %s\n", qPrintable(temp.path()));
        return 1;
    }

    qsizetype listed = 0;
    const double listMs = qbBestOfMs(Runs, [&] {
        const TqbFolderListing listing = ListFolder(dir, QStringLiteral(".htm"), dir);
        for (const TqbListedName& folder : listing.Folders)
            listed += FolderHasEntries(dir + u'/' + folder.Name);
        listed += listing.NoteFiles.size();
    });

    TNullHost host;
    TqbLibrary library(host);
    TqbTree tree(host, library, nullptr);
    const double loadMs = qbBestOfMs(Runs, [&] { tree.LoadRoot(dir); });

    if (tree.model()->rowCount() != NoteCount + FolderCount ||
        listed != Runs * (NoteCount + FolderCount)) {
        std::fprintf(stderr, "listing is incomplete: %d nodes\n", tree.model()->rowCount());
        return 1;
    }
    // The names' order is the Korean collation, whatever the locale.
    std::printf("one folder of %d notes and %d subfolders, best of %d runs\n", NoteCount,
                FolderCount, Runs);
    std::printf("  ListFolder + FolderHasEntries: %8.1f ms   (aim < 150 ms)\n", listMs);
    std::printf("  TqbTree::LoadRoot:             %8.1f ms   (aim < 150 ms)\n", loadMs);
    return 0;
}
