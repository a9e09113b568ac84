// Times the search for the notes that link to one note over a generated library of 10,000 CP949
// notes, beside grep -rlF of the note's file name over the same folder (a grep that only finds
// files, and does not read an href).
#include "qbBenchTiming.h"
#include "search/qbBacklinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int NoteCount = 10000;
constexpr int FolderCount = 100;
constexpr int NoteBytes = 10 * 1024;
constexpr int LinkEvery = 100;
constexpr int Runs = 5;
const QString TargetName = QStringLiteral("2026-12-08 일기.htm");

// CP949 text with some markup; every LinkEvery-th note links to the target, percent-encoded.
QByteArray NoteText(QRandomGenerator& random, bool linking) {
    QByteArray text = "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                      "charset=euc-kr\"></HEAD>\r\n<BODY>\r\n<P>";
    QStringEncoder cp949("windows-949");
    while (text.size() < NoteBytes) {
        if (random.bounded(200) == 0)
            text += "<A href=\"../%ED%8F%B4%EB%8D%94001/other.htm\">x</A> ";
        text += char(0xB0 + random.bounded(0x19));
        text += char(0xA1 + random.bounded(0x5E));
        if (random.bounded(40) == 0)
            text += "\r\n";
    }
    if (linking)
        text += "<A href=\"../%ED%8F%B4%EB%8D%94000/2026-12-08%20%EC%9D%BC%EA%B8%B0.htm\">" +
                cp949.encode(QStringLiteral("일기")) + "</A>";
    return text + "</P>\r\n</BODY></HTML>\r\n";
}

bool BuildLibrary(const QString& root) {
    QRandomGenerator random(99);
    for (int note = 0; note < NoteCount; ++note) {
        const QString folder = root + QString("/폴더%1").arg(note % FolderCount, 3, 10, QChar('0'));
        if (!QDir().mkpath(folder))
            return false;
        QFile file(folder + (note == 0 ? u'/' + TargetName : QString("/노트%1.htm").arg(note)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(NoteText(random, note % LinkEvery == 1));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath("lib");
    if (!dir.isValid() || !BuildLibrary(root)) {
        std::fprintf(stderr, "could not write the library\n");
        return 1;
    }
    const QString target = root + "/폴더000/" + TargetName;
    qsizetype found = 0;
    const double ours = qbBestOfMs(Runs, [&] { found = qbBacklinks::LinkingPages(root, target).size(); });
    std::printf("%d notes of %d KiB, %d linking to \"%s\" (best of %d, warm cache)\n", NoteCount,
                NoteBytes / 1024, NoteCount / LinkEvery, qPrintable(TargetName), Runs);
    std::printf("  backlinks %-36s %8.1f ms, %lld found\n", "", ours, (long long)found);

    const QString grep = QStandardPaths::findExecutable("grep");
    if (grep.isEmpty())
        return 0;
    // The name as typed, and as the links hold it.
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(TargetName));
    for (const QString& needle : {TargetName, encoded}) {
        QByteArray listed;
        const double theirs = qbBestOfMs(Runs, [&] {
            QProcess process;
            process.start(grep, {"-rlF", needle, root});
            process.waitForFinished(-1);
            listed = process.readAllStandardOutput();
        });
        std::printf("  grep -rlF %-36s %8.1f ms, %lld files\n", qPrintable('"' + needle + '"'),
                    theirs, (long long)listed.count('\n'));
    }
    return 0;
}
