#pragma once
// A tree host for tests: records each call together with the open path at that moment, and
// follows the library by the rules the open note follows.

#include "library/qbTree.h"
#include "library/qbTreeHost.h"

#include <QRegularExpression>
#include <QStringList>

class TFakeHost : public IqbTreeHost {
public:
    QStringList Calls;
    QString Templates;
    QStringList Header{QStringLiteral("<HTML>기본</HTML>")};
    bool Answer = true;
    bool SaveSucceeds = true;
    QString Path;

    // context: the connections' lifetime.
    void Attach(TqbLibrary& library, QObject* context) {
        Path.clear();
        QObject::connect(&library, &TqbLibrary::Moved, context,
                         [this](const QString& from, const QString& to) {
                             Path = qbTreeRules::Followed(Path, from, to);
                         });
        QObject::connect(&library, &TqbLibrary::Removed, context, [this](const QString& item) {
            if (qbTreeRules::Within(Path, item))
                OpenDocument({});
        });
        QObject::connect(&library, &TqbLibrary::Changed, context, [this](const QStringList& files) {
            if (files.contains(Path))
                Calls << "open " + Path;
        });
    }

    bool SaveCurrentNote() override {
        Calls << "save " + Path;
        return SaveSucceeds;
    }
    void OpenDocument(const QString& path) override {
        if (path == Path)
            return;
        Path = path;
        Calls << (path.isEmpty() ? QStringLiteral("discard") : "open " + path);
    }
    QString OpenPath() const override { return Path; }
    void EnterEditMode() override { Calls << "edit mode"; }
    void FocusCurrentView() override { Calls << "focus"; }
    bool TreeShowing() const override { return true; }
    void ShowMessage(const QString& text) override { Calls << "message " + text; }
    bool Confirm(const QString& text, bool defaultNo) override {
        Calls << (defaultNo ? "confirm, default no: " : "confirm ") + text;
        return Answer;
    }
    QString TreeTemplateDir() const override { return Templates; }
    QStringList TreeDefaultHeader() const override { return Header; }
    QStringList Messages() const { return Calls.filter(QRegularExpression("^message ")); }
};
