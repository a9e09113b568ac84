#pragma once

#include <QObject>
#include <QString>
#include <functional>

class TqbLibrary;
class TqbOpenNote;
class TqbTree;

// Appends captured texts to the inbox note, made the first time. When that note is open, the
// append goes through it, so that typing not saved yet is kept.
class TqbQuickCapture : public QObject {
    Q_OBJECT
public:
    using TShowMessage = std::function<void(const QString& text, const QString& detail)>;
    TqbQuickCapture(TqbLibrary& library, TqbTree& tree, TqbOpenNote& openNote, TShowMessage showMessage,
                    QObject* parent = nullptr);

    // True when the text is in the inbox on disk; else the user was told, with the text, so
    // that nothing typed is lost.
    bool Capture(const QString& text);
    QString InboxPath() const;

    static const QString FailedMessage;

private:
    TqbLibrary& m_library;
    TqbTree& m_tree;
    TqbOpenNote& m_openNote;
    TShowMessage m_showMessage;
};
