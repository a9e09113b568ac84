#pragma once
// A tree host for the benchmarks (the library's asker too): every question answered at once,
// messages printed.

#include "library/qbTreeHost.h"

#include <QString>
#include <QStringList>
#include <cstdio>

class TNullHost : public IqbTreeHost {
public:
    QString Templates;
    QString Path;
    bool SaveCurrentNote() override { return true; }
    void OpenDocument(const QString& path) override { Path = path; }
    QString OpenPath() const override { return Path; }
    void EnterEditMode() override {}
    void FocusCurrentView() override {}
    bool TreeShowing() const override { return true; }
    void ShowMessage(const QString& text) override {
        std::printf("message: %s\n", qPrintable(text));
    }
    bool Confirm(const QString&, bool defaultNo) override { return !defaultNo; }
    QString TreeTemplateDir() const override { return Templates; }
    QStringList TreeDefaultHeader() const override { return {QStringLiteral("<HTML></HTML>")}; }
};
