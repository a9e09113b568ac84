#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class TqbOpenNote;

// The open note's tags in a line over the editor ("업무, 회의"). What the user writes there goes
// into the note's file when the line is left or Enter is pressed, through the open note, so
// typing in the page is saved first and nothing else in the file changes.
class TqbTagBar : public QWidget {
    Q_OBJECT
public:
    static const QString Placeholder;

    TqbTagBar(TqbOpenNote& openNote, QWidget* parent = nullptr);
    QLineEdit* Field() const { return m_field; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const QString& path);
    void Apply();

    TqbOpenNote& m_openNote;
    QLineEdit* m_field = nullptr;
    QStringList m_tags; // as the file holds them
    QString m_path;     // the note they are of
};
