#include "editing/qbSelectionState.h"

#include "editing/qbDhtmlColor.h"

namespace {

QString ParseFontName(const QVariant& value) {
    QString name = value.toString().trimmed();
    // One quoted family comes back quoted; a list stays as the page gives it.
    if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') &&
        name.back() == name.front() && !name.mid(1, name.size() - 2).contains(name.front()))
        name = name.mid(1, name.size() - 2);
    return name;
}

std::optional<int> ParseFontSize(const QVariant& value) {
    bool ok = false;
    const int size = value.toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(size) : std::nullopt;
}

QVariant Optional(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant();
}

} // namespace

TqbSelectionState TqbSelectionState::FromReport(const QVariantMap& report) {
    TqbSelectionState s;
    s.Valid = true;
    s.Editable = report.value("editable").toBool();
    s.Bold = report.value("bold").toBool();
    s.Italic = report.value("italic").toBool();
    s.Underline = report.value("underline").toBool();
    s.JustifyLeft = report.value("justifyLeft").toBool();
    s.JustifyCenter = report.value("justifyCenter").toBool();
    s.JustifyRight = report.value("justifyRight").toBool();
    s.OrderedList = report.value("orderedList").toBool();
    s.UnorderedList = report.value("unorderedList").toBool();
    s.HasSelection = report.value("hasSelection").toBool();
    s.CanUndo = report.value("canUndo").toBool();
    s.CanRedo = report.value("canRedo").toBool();
    const QVariantMap table = report.value("table").toMap();
    s.InTable = table.value("inTable").toBool();
    s.CanMergeCells = table.value("canMerge").toBool();
    s.CanSplitCell = table.value("canSplit").toBool();
    s.FontName = ParseFontName(report.value("fontName"));
    s.FontSize = ParseFontSize(report.value("fontSize"));
    s.ForeColor = qbDhtml::ColorFromCss(report.value("foreColor").toString());
    s.BackColor = qbDhtml::ColorFromCss(report.value("backColor").toString());
    return s;
}

std::optional<QVariant> TqbSelectionState::Value(const QString& name) const {
    const QString key = name.toLower();
    const auto flag = [this](bool value) { return Valid ? QVariant(value) : QVariant(); };
    if (key == u"bold")
        return flag(Bold);
    if (key == u"italic")
        return flag(Italic);
    if (key == u"underline")
        return flag(Underline);
    if (key == u"justifyleft")
        return flag(JustifyLeft);
    if (key == u"justifycenter")
        return flag(JustifyCenter);
    if (key == u"justifyright")
        return flag(JustifyRight);
    if (key == u"fontname")
        return FontName.isEmpty() ? QVariant() : QVariant(FontName);
    if (key == u"fontsize")
        return Optional(FontSize);
    if (key == u"forecolor")
        return Optional(ForeColor);
    if (key == u"backcolor")
        return Optional(BackColor);
    return std::nullopt;
}
