#pragma once
// A tree host and a library asker for the benchmarks: every question answered at once, messages
// printed.

#include "library/qbLibrary.h"
#include "library/qbTreeHost.h"

#include <QString>
#include <QStringList>
#include <cstdio>

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
    bool ConfirmTreeQuestionDefaultNo(const QString&) override { return false; }
    QString TreeTemplateDir() const override { return Templates; }
    QStringList TreeDefaultHeader() const override { return {QStringLiteral("<HTML></HTML>")}; }
};

// The same answers for the library used alone.
class TNullAsker : public IqbLibraryAsker {
public:
    void ShowMessage(const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
    bool Confirm(const QString&, bool defaultNo) override { return !defaultNo; }
};
