#include "editing/qbPageFonts.h"

#include "platform/qbFontNames.h"

#include <QFont>
#include <QFontDatabase>
#include <QSet>
#include <QWebEngineSettings>
#include <algorithm>
#include <array>
#include <initializer_list>

namespace qbPageFonts {

namespace {

// What a font looks like, with the faces that can stand in for it, best first.
enum class TLook { KoreanSans, KoreanSerif, KoreanFixed, WideSans, Sans, Serif, Fixed };

struct TKnownFont {
    const char* Name;
    TLook Look;
};

// The names pages written on Windows use; compared without letter case.
constexpr TKnownFont KnownFonts[] = {
    {"굴림", TLook::KoreanSans},        {"Gulim", TLook::KoreanSans},
    {"돋움", TLook::KoreanSans},        {"Dotum", TLook::KoreanSans},
    {"새굴림", TLook::KoreanSans},      {"New Gulim", TLook::KoreanSans},
    {"맑은 고딕", TLook::KoreanSans},   {"Malgun Gothic", TLook::KoreanSans},
    {"굴림체", TLook::KoreanFixed},     {"GulimChe", TLook::KoreanFixed},
    {"돋움체", TLook::KoreanFixed},     {"DotumChe", TLook::KoreanFixed},
    {"바탕", TLook::KoreanSerif},       {"Batang", TLook::KoreanSerif},
    {"바탕체", TLook::KoreanSerif},     {"BatangChe", TLook::KoreanSerif},
    {"궁서", TLook::KoreanSerif},       {"Gungsuh", TLook::KoreanSerif},
    {"궁서체", TLook::KoreanSerif},     {"GungsuhChe", TLook::KoreanSerif},
    {"Verdana", TLook::WideSans},       {"Tahoma", TLook::WideSans},
    {"Trebuchet MS", TLook::WideSans},  {"Segoe UI", TLook::WideSans},
    {"Lucida Sans Unicode", TLook::WideSans}, {"MS Sans Serif", TLook::WideSans},
    {"Microsoft Sans Serif", TLook::WideSans}, {"Calibri", TLook::WideSans},
    {"Arial", TLook::Sans},             {"Helvetica", TLook::Sans},
    {"Arial Black", TLook::Sans},       {"Comic Sans MS", TLook::Sans},
    {"Times New Roman", TLook::Serif},  {"Times", TLook::Serif},
    {"Georgia", TLook::Serif},          {"Garamond", TLook::Serif},
    {"Book Antiqua", TLook::Serif},     {"Palatino Linotype", TLook::Serif},
    {"Cambria", TLook::Serif},          {"Century", TLook::Serif},
    {"Courier New", TLook::Fixed},      {"Courier", TLook::Fixed},
    {"Consolas", TLook::Fixed},         {"Lucida Console", TLook::Fixed},
    {"Fixedsys", TLook::Fixed},
};

using TChoices = std::initializer_list<const char*>;

const TChoices KoreanSansFaces = {"NanumGothic", "NanumBarunGothic", "Noto Sans CJK KR",
                                  "Noto Sans KR", "UnDotum", "Baekmuk Gulim", "Baekmuk Dotum"};
const TChoices KoreanSerifFaces = {"NanumMyeongjo", "Noto Serif CJK KR", "Noto Serif KR",
                                   "UnBatang", "Baekmuk Batang"};
const TChoices KoreanFixedFaces = {"NanumGothicCoding", "D2Coding", "Noto Sans Mono CJK KR"};
const TChoices WideSansFaces = {"DejaVu Sans", "Verdana", "Liberation Sans", "Arimo",
                                "Nimbus Sans", "Noto Sans", "FreeSans"};
const TChoices SansFaces = {"Liberation Sans", "Arimo", "Arial", "Nimbus Sans", "DejaVu Sans",
                            "Noto Sans", "FreeSans"};
const TChoices SerifFaces = {"Liberation Serif", "Tinos", "Times New Roman", "Nimbus Roman",
                             "DejaVu Serif", "Noto Serif", "FreeSerif"};
const TChoices FixedFaces = {"Liberation Mono", "Cousine", "Courier New", "DejaVu Sans Mono",
                             "Nimbus Mono PS", "Noto Mono", "FreeMono"};

QString Installed(const QString& family, const QStringList& installed) {
    for (const QString& name : installed)
        if (name.compare(family, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

QString FirstInstalled(TChoices faces, const QStringList& installed) {
    for (const char* face : faces) {
        const QString found = Installed(QString::fromUtf8(face), installed);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// The look's own faces first; then faces of the same kind, Korean or not; a sans for a sans.
QString Choose(TLook look, const QStringList& installed) {
    std::array<TChoices, 3> order{};
    switch (look) {
    case TLook::KoreanSans:
        order = {KoreanSansFaces, SansFaces, WideSansFaces};
        break;
    case TLook::KoreanSerif:
        order = {KoreanSerifFaces, SerifFaces, {}};
        break;
    case TLook::KoreanFixed:
        order = {KoreanFixedFaces, FixedFaces, KoreanSansFaces};
        break;
    case TLook::WideSans:
        order = {WideSansFaces, KoreanSansFaces, {}};
        break;
    case TLook::Sans:
        order = {SansFaces, KoreanSansFaces, {}};
        break;
    case TLook::Serif:
        order = {SerifFaces, KoreanSerifFaces, {}};
        break;
    case TLook::Fixed:
        order = {FixedFaces, KoreanFixedFaces, {}};
        break;
    }
    for (TChoices faces : order) {
        const QString found = FirstInstalled(faces, installed);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace

QString Substitute(const QString& pageFont, const QStringList& installed) {
    const QString name = pageFont.trimmed();
    if (name.isEmpty() || !Installed(name, installed).isEmpty())
        return {};
    for (const TKnownFont& known : KnownFonts)
        if (name.compare(QString::fromUtf8(known.Name), Qt::CaseInsensitive) == 0)
            return Choose(known.Look, installed);
    return {};
}

QList<TAlias> Aliases(const QStringList& installed) {
    QList<TAlias> aliases;
    for (const TKnownFont& known : KnownFonts) {
        const QString name = QString::fromUtf8(known.Name);
        const QString substitute = Substitute(name, installed);
        if (substitute.isEmpty())
            continue;
        aliases.append({name, substitute});
        if (name.toLower() != name)
            aliases.append({name.toLower(), substitute});
    }
    return aliases;
}

QStringList BoxNames(const QStringList& families, const QHash<QString, QString>& localNames) {
    QStringList names;
    QSet<QString> seen;
    for (const QString& family : families) {
        const QString name = localNames.value(family, family);
        if (!name.isEmpty() && !seen.contains(name.toCaseFolded())) {
            seen.insert(name.toCaseFolded());
            names << name;
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList InstalledFamilies() {
    QStringList families = QFontDatabase::families();
    families << KoreanNames().values();
    return families;
}

QHash<QString, QString> KoreanNames() {
    static const QHash<QString, QString> names = qbFontNames::LocalNames(QStringLiteral("ko"));
    return names;
}

void ApplyDefaults(QWebEngineSettings* settings) {
    InstallSubstitutions();
    static const TFamilies families = Defaults(InstalledFamilies());
    const auto set = [settings](QWebEngineSettings::FontFamily which, const QString& family) {
        if (!family.isEmpty())
            settings->setFontFamily(which, family);
    };
    set(QWebEngineSettings::StandardFont, families.Standard);
    set(QWebEngineSettings::SansSerifFont, families.SansSerif);
    set(QWebEngineSettings::SerifFont, families.Serif);
    set(QWebEngineSettings::FixedFont, families.Fixed);
}

void InstallSubstitutions() {
    static const bool done = [] {
        for (const TAlias& alias : Aliases(InstalledFamilies()))
            QFont::insertSubstitution(alias.Name, alias.Substitute);
        return true;
    }();
    Q_UNUSED(done);
}

TFamilies Defaults(const QStringList& installed) {
    return {Choose(TLook::KoreanSans, installed), Choose(TLook::KoreanSans, installed),
            Choose(TLook::KoreanSerif, installed), Choose(TLook::KoreanFixed, installed)};
}

} // namespace qbPageFonts
