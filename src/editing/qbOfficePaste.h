#pragma once

#include <QSet>
#include <QString>
#include <functional>

// Cleans the HTML a spreadsheet or a word processor puts on the clipboard before it goes into a
// note: what the user sees stays (text, tables, bold, italic, underline, colours, alignment,
// borders, links, pictures), what only the office program reads goes (its styles and
// namespaces, conditional comments, style sheets, and class names the note does not define,
// whose look is first written inline).
class TqbOfficePaste {
public:
    // Gives the address a pasted picture gets in the note; an empty answer leaves it out.
    using TPictureMap = std::function<QString(const QString& address)>;

    // `noteClasses`: the class names the note's own style sheets define, which are kept.
    explicit TqbOfficePaste(QSet<QString> noteClasses = {}, TPictureMap pictures = {});

    // The fragment to insert in place of the clipboard's whole page.
    QString Clean(const QString& html) const;

private:
    QSet<QString> m_noteClasses;
    TPictureMap m_pictures;
};
