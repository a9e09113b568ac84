// Makes a new note and renames one in a folder that holds 5,000 notes, the way the tree's
// operations do (dialogs answered at once), and prints the times. Aim: each under 100 ms.
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "library/qbTemplates.h"
#include "library/qbTree.h"
#include "library/qbTreeHost.h"

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

class TNullHost : public IqbTreeHost {
public:
    QString Templates;
    bool SaveCurrentNote() override { return true; }
    void OpenCurrentNote() override {}
    void EnterEditMode() override {}
    void FocusCurrentView() override {}
    bool TreeShowing() const override { return true; }
    void DiscardCurrentNote() override {}
    void ShowTreeMessage(const QString& text) override {
        std::printf("message: %s\n", qPrintable(text));
    }
    bool ConfirmTreeQuestion(const QString&) override { return true; }
    QString TreeTemplateDir() const override { return Templates; }
    QStringList TreeDefaultHeader() const override { return {QStringLiteral("<HTML></HTML>")}; }
};

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
    for (int i = 0; i < NoteCount; ++i) {
        QFile file(big + QStringLiteral("/노트 %1.htm").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("<HTML></HTML>\r\n");
    }
    TNullHost host;
    host.Templates = temp.filePath("qbTemplate/");
    qbTemplates::InstallMissing(host.Templates);

    TqbTree tree(host, nullptr);
    tree.resize(300, 600);
    tree.show();
    tree.LoadRoot(root);
    QTreeWidgetItem* folder = tree.topLevelItem(0);
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

    std::vector<double> newNote, rename;
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        tree.setCurrentItem(folder);
        timer.start();
        tree.NewNote(false);
        QApplication::processEvents();
        newNote.push_back(timer.nsecsElapsed() / 1e6);

        QTreeWidgetItem* node = folder->child(NoteCount / 2);
        typed = QStringLiteral("바뀐 이름 %1").arg(run);
        timer.start();
        tree.RenameNode(node);
        QApplication::processEvents();
        rename.push_back(timer.nsecsElapsed() / 1e6);
    }
    const int notes = int(QDir(big).entryList({"*.htm"}, QDir::Files).size());
    std::printf("folder of %d notes (now %d), median of %d runs\n", NoteCount, notes, Runs);
    std::printf("new note: %.2f ms (first %.2f ms)\n", Median(newNote), newNote.front());
    std::printf("rename:   %.2f ms (first %.2f ms)\n", Median(rename), rename.front());
    const bool ok = notes == NoteCount + Runs && Median(newNote) < 100 && Median(rename) < 100;
    std::printf("%s\n", ok ? "within 100 ms" : "OVER 100 ms or wrong count");
    return ok ? 0 : 2;
}
