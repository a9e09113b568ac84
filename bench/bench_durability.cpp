// Stress program for the write path: notes saved on a disk that fills up, and a child process
// that saves notes killed with SIGKILL at random moments and right at its fsync, rename, write
// and close calls. Every note is then checked whole: it holds one complete version (the last
// completed or the one being written), never a mix, a short file or nothing.
//
//   bench_durability [--kills N] [--precise-kills N] [--disk-rounds N]
//
// Needs root for the small tmpfs and ptrace for the precise kills; what it cannot do it says.
#include "platform/qbError.h"
#include "platform/qbIniFile.h"
#include "platform/qbLeftovers.h"
#include "platform/qbTextFile.h"

#include "common/qbSmallDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sizes of the notes a round saves, 512 bytes to 1 MB.
constexpr qsizetype NoteSizes[] = {512, 1024, 2048, 16 * 1024, 64 * 1024, 256 * 1024, 1024 * 1024};
constexpr int NoteCount = int(std::size(NoteSizes));

QString NotePath(const QString& dir, int note) {
    return QDir(dir).filePath(QStringLiteral("note%1.htm").arg(note));
}

// One version of a note: a first line naming note and generation, then bytes that depend on
// both, so that any mix of two versions or a cut is seen.
QByteArray Version(int note, qint64 generation) {
    const qsizetype size = NoteSizes[note];
    QByteArray bytes = "qbDurability note=" + QByteArray::number(note) +
                       " gen=" + QByteArray::number(generation) + "\r\n";
    bytes.reserve(size);
    for (qsizetype k = bytes.size(); k < size - 5; ++k)
        bytes += (k % 80 == 79) ? '\n' : char('a' + (k * 7 + generation * 13 + note) % 26);
    bytes += "\r\nEND";
    return bytes;
}

// The generation the bytes are a whole version of; -1 for anything else.
qint64 WholeGeneration(int note, const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf('\r');
    const QByteArray head = "qbDurability note=" + QByteArray::number(note) + " gen=";
    if (end < 0 || !bytes.startsWith(head))
        return -1;
    bool ok = false;
    const qint64 generation = bytes.mid(head.size(), end - head.size()).toLongLong(&ok);
    return ok && bytes == Version(note, generation) ? generation : -1;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// --- Full disk -------------------------------------------------------------------------------

struct TDiskFigures {
    int tried = 0, completed = 0, refused = 0, damaged = 0, withoutReason = 0, leftovers = 0;
};

void FullDiskRounds(int rounds, TDiskFigures& f) {
    // Room for every note twice over, so each round can leave a different amount free.
    TqbSmallDisk disk(6 << 20);
    if (!disk.IsMounted()) {
        std::printf("full disk: skipped, no small disk (%s)\n", qPrintable(disk.Error()));
        return;
    }
    const QString noSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
    qint64 generation = 0;
    for (int note = 0; note < NoteCount; ++note)
        qbText::WriteFileBytes(NotePath(disk.Path(), note), Version(note, generation));
    TqbIniFile ini(disk.FilePath("qbNivora.ini"));
    ini.WriteString("PROGRAM", "DirData", "/home/kim/notes");

    for (int round = 0; round < rounds; ++round) {
        ++generation;
        // From nothing free to more than the biggest note needs.
        const qint64 leaveFree = QRandomGenerator::global()->bounded(qint64(NoteSizes[NoteCount - 1] + 8192));
        disk.Fill(round % 3 == 0 ? 0 : leaveFree);
        for (int note = 0; note < NoteCount; ++note) {
            const QString path = NotePath(disk.Path(), note);
            const qint64 before = WholeGeneration(note, ReadAll(path));
            ++f.tried;
            bool saved = false;
            try {
                qbText::WriteFileBytes(path, Version(note, generation));
                saved = true;
                ++f.completed;
            } catch (const EqbError& e) {
                ++f.refused;
                if (!e.Message().contains(noSpace))
                    ++f.withoutReason;
            }
            const qint64 after = WholeGeneration(note, ReadAll(path));
            if (after != (saved ? generation : before))
                ++f.damaged;
        }
        ++f.tried;
        try {
            ini.WriteInteger("PROGRAM", "Left", round);
            ++f.completed;
        } catch (const EqbError&) {
            ++f.refused;
        }
        if (ini.ReadString("PROGRAM", "DirData", {}) != "/home/kim/notes")
            ++f.damaged;
        for (const QString& name : QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden)) {
            if (qbLeftovers::IsLeftoverName(name))
                ++f.leftovers;
        }
        disk.Unfill();
    }
}

// --- Kills -----------------------------------------------------------------------------------

// What the saving child tells the parent, in memory both share. The child marks a save as
// begun before it starts and as done after it returned, so the parent knows which versions
// may be on disk after a kill.
struct TShared {
    qint64 begun[NoteCount];
    qint64 done[NoteCount];
    qint64 savesStarted;
    qint64 savesCompleted;
};

[[noreturn]] void SaveForever(const QString& dir, TShared* shared) {
    const qint64 newest = *std::max_element(std::begin(shared->done), std::end(shared->done));
    for (qint64 generation = newest + 1;; ++generation) {
        for (int note = 0; note < NoteCount; ++note) {
            shared->begun[note] = generation;
            ++shared->savesStarted;
            try {
                qbText::WriteFileBytes(NotePath(dir, note), Version(note, generation));
            } catch (const EqbError& e) {
                std::fprintf(stderr, "child: %s\n", qPrintable(e.Message()));
                ::_exit(3);
            }
            shared->done[note] = generation;
            ++shared->savesCompleted;
        }
    }
}

struct TTarget {
    const char* name;
    long nr, alsoNr; // a call and its twin (fsync and fdatasync, rename and renameat)
    bool atEntry;
};

constexpr TTarget Targets[] = {
    {"fsync entry", SYS_fsync, SYS_fdatasync, true},
    {"fsync exit", SYS_fsync, SYS_fdatasync, false},
    {"rename entry", SYS_rename, SYS_renameat, true},
    {"rename exit", SYS_rename, SYS_renameat, false},
    {"write entry", SYS_write, SYS_write, true},
    {"write exit", SYS_write, SYS_write, false},
    {"close exit", SYS_close, SYS_close, false},
    {"openat exit", SYS_openat, SYS_open, false},
};

// A child that never makes the call is killed after this many stops all the same.
constexpr int MaxCallStops = 200000;

enum class TKillAt { Call, Elsewhere, Untraceable };

// Runs the child under ptrace until the chosen call has come `occurrence` times, then kills it
// there.
TKillAt KillAtCall(pid_t child, const TTarget& target, int occurrence) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return TKillAt::Untraceable;
    if (::ptrace(PTRACE_SETOPTIONS, child, nullptr,
                 reinterpret_cast<void*>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL)) != 0)
        return TKillAt::Untraceable;
    long lastNr = -1;
    int seen = 0;
    int deliver = 0;
    TKillAt at = TKillAt::Elsewhere;
    for (int stops = 0; stops < MaxCallStops; ++stops) {
        if (::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(long(deliver))) != 0)
            break;
        deliver = 0;
        if (::waitpid(child, &status, 0) != child || WIFEXITED(status) || WIFSIGNALED(status))
            return TKillAt::Elsewhere;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            deliver = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, child, reinterpret_cast<void*>(sizeof info), &info) <= 0)
            return TKillAt::Untraceable;
        const bool entry = info.op == PTRACE_SYSCALL_INFO_ENTRY;
        if (entry)
            lastNr = long(info.entry.nr);
        if ((lastNr == target.nr || lastNr == target.alsoNr) && entry == target.atEntry &&
            ++seen == occurrence) {
            at = TKillAt::Call;
            break;
        }
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return at;
}

struct TKillFigures {
    int kills = 0, precise = 0, damaged = 0, lost = 0, leftoversRemoved = 0, leftoversKept = 0;
    qint64 savesStarted = 0, savesCompleted = 0;
};

// Every note must hold the version last completed or the one begun after it.
void CheckNotes(const QString& dir, const TShared& shared, TKillFigures& f) {
    for (int note = 0; note < NoteCount; ++note) {
        const qint64 found = WholeGeneration(note, ReadAll(NotePath(dir, note)));
        if (found < 0)
            ++f.damaged;
        else if (found != shared.done[note] && found != shared.begun[note])
            ++f.lost;
    }
}

// One child that saves until it is killed; precise kills stop it at a chosen call.
bool KillOnce(const QString& dir, TShared* shared, const TTarget* target, TKillFigures& f) {
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (target) {
            ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            ::raise(SIGSTOP);
        }
        SaveForever(dir, shared);
    }
    if (target) {
        // Somewhere in the first few rounds of saves.
        const int occurrence = 1 + QRandomGenerator::global()->bounded(3 * NoteCount);
        const TKillAt at = KillAtCall(child, *target, occurrence);
        if (at == TKillAt::Untraceable) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return false;
        }
        if (at == TKillAt::Call)
            ++f.precise;
    } else {
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(30000)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    ++f.kills;
    CheckNotes(dir, *shared, f);
    // What the kill left is cleared as a start-up would, and nothing else goes.
    f.leftoversRemoved += qbLeftovers::RemoveInFolder(dir, QDateTime::currentDateTimeUtc().addSecs(1));
    f.leftoversKept += int(QDir(dir).entryList(QDir::Files | QDir::Hidden).size()) - NoteCount;
    // The next child goes on from what is on disk.
    for (int note = 0; note < NoteCount; ++note) {
        const qint64 found = WholeGeneration(note, ReadAll(NotePath(dir, note)));
        shared->done[note] = shared->begun[note] = qMax<qint64>(found, 0);
    }
    return true;
}

void KillRounds(int randomKills, int preciseKills, TKillFigures& f) {
    QTemporaryDir dir;
    auto* shared = static_cast<TShared*>(
        ::mmap(nullptr, sizeof(TShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    if (!dir.isValid() || shared == MAP_FAILED) {
        std::printf("kills: skipped, no folder or shared memory\n");
        return;
    }
    *shared = {};
    for (int note = 0; note < NoteCount; ++note)
        qbText::WriteFileBytes(NotePath(dir.path(), note), Version(note, 0));

    for (int i = 0; i < randomKills; ++i)
        KillOnce(dir.path(), shared, nullptr, f);
    for (int i = 0; i < preciseKills; ++i) {
        const TTarget& target = Targets[i % std::size(Targets)];
        if (!KillOnce(dir.path(), shared, &target, f)) {
            std::printf("precise kills: skipped, the child cannot be traced here\n");
            break;
        }
    }
    f.savesStarted = shared->savesStarted;
    f.savesCompleted = shared->savesCompleted;
    ::munmap(shared, sizeof(TShared));
}

int Option(const QStringList& args, const QString& name, int def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : def;
}

} // namespace

int main(int argc, char** argv) {
    // No event loop and no threads: the children are plain forks of this process.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int diskRounds = Option(args, "--disk-rounds", 60);
    const int randomKills = Option(args, "--kills", 100);
    const int preciseKills = Option(args, "--precise-kills", 96);

    TDiskFigures disk;
    FullDiskRounds(diskRounds, disk);
    std::printf("full-disk saves (notes of 512 B to 1 MB and the settings file): %d tried, "
                "%d completed, %d refused (%d without the system's reason), "
                "%d damaged, %d temporaries left\n",
                disk.tried, disk.completed, disk.refused, disk.withoutReason, disk.damaged,
                disk.leftovers);
    std::fflush(stdout);

    TKillFigures kills;
    KillRounds(randomKills, preciseKills, kills);
    std::printf("kill -9 during saves: %d kills (%d at fsync, rename, write, close or open), "
                "%lld saves begun, %lld completed, %d notes damaged, %d completed saves lost, "
                "%d leftovers removed, %d other files left\n",
                kills.kills, kills.precise, static_cast<long long>(kills.savesStarted),
                static_cast<long long>(kills.savesCompleted), kills.damaged, kills.lost,
                kills.leftoversRemoved, kills.leftoversKept);

    std::fflush(stdout);
    const bool sound = disk.damaged == 0 && disk.withoutReason == 0 && disk.leftovers == 0 &&
                       kills.damaged == 0 && kills.lost == 0 && kills.leftoversKept == 0;
    std::printf("%s\n", sound ? "every note whole" : "NOTES DAMAGED");
    return sound ? 0 : 1;
}
