#pragma once

#include <QByteArray>
#include <QString>
#include <QWebEngineView>

// A page only to look at, as a note would look: its scripts never run, a click on a link goes
// nowhere, and its pictures and styles resolve from the note's own folder.
class TqbPageView : public QWebEngineView {
    Q_OBJECT
public:
    explicit TqbPageView(QWidget* parent = nullptr);
    // The page's bytes in their own charset; one too big for the engine says so instead.
    void ShowPage(const QByteArray& bytes, const QString& notePath);
};
