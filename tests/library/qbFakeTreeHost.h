#pragma once
// A tree host for tests: records each call together with the OpenPath the tree had at that moment.

#include "library/qbTree.h"
#include "library/qbTreeHost.h"

#include <QRegularExpression>
#include <QStringList>

class TFakeHost : public IqbTreeHost {
public:
    TqbTree* Tree = nullptr;
    QStringList Calls;
    QString Templates;
    QStringList Header{QStringLiteral("<HTML>기본</HTML>")};
    bool Answer = true;
    bool SaveSucceeds = true;

    bool SaveCurrentNote() override {
        Calls << "save " + Tree->OpenPath();
        return SaveSucceeds;
    }
    void OpenCurrentNote() override { Calls << "open " + Tree->OpenPath(); }
    void EnterEditMode() override { Calls << "edit mode"; }
    void FocusCurrentView() override { Calls << "focus"; }
    bool TreeShowing() const override { return true; }
    void DiscardCurrentNote() override { Calls << "discard"; }
    void ShowTreeMessage(const QString& text) override { Calls << "message " + text; }
    bool ConfirmTreeQuestion(const QString& text) override {
        Calls << "confirm " + text;
        return Answer;
    }
    bool ConfirmTreeQuestionDefaultNo(const QString& text) override {
        Calls << "confirm, default no: " + text;
        return Answer;
    }
    QString TreeTemplateDir() const override { return Templates; }
    QStringList TreeDefaultHeader() const override { return Header; }
    QStringList Messages() const { return Calls.filter(QRegularExpression("^message ")); }
};
