#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <optional>

// What the page last reported about its selection, so that toolbar updates can read it at once
// instead of waiting for the page.
struct TqbSelectionState {
    bool Valid = false; // false until the current document has reported
    bool Editable = false;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool JustifyLeft = false;
    bool JustifyCenter = false;
    bool JustifyRight = false;
    bool OrderedList = false;
    bool UnorderedList = false;
    bool HasSelection = false;
    bool CanUndo = false;
    bool CanRedo = false;
    bool InTable = false;      // the caret is in a table cell
    bool CanMergeCells = false; // the selection reaches from one cell into another
    bool CanSplitCell = false;  // the caret's cell spans more than one place
    QString FontName;             // empty when the selection has none
    std::optional<int> FontSize;  // HTML font size 1..7
    std::optional<int> ForeColor; // Windows colour 0x00BBGGRR
    std::optional<int> BackColor;

    // From the page's report: CSS colours, quoted font names and size strings as the page
    // gives them.
    static TqbSelectionState FromReport(const QVariantMap& report);

    // The value of a selection command ("Bold", "FontName", "ForeColor", ... in any case):
    // bool, QString or int, a null QVariant when the selection has none. nullopt for a name that
    // is not a selection command.
    std::optional<QVariant> Value(const QString& name) const;
};
