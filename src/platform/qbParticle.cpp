#include "platform/qbParticle.h"

namespace qbParticle {

namespace {

enum class TEnding { Vowel, Rieul, Consonant, Unknown };

constexpr char16_t HangulFirst = 0xAC00;
constexpr char16_t HangulLast = 0xD7A3;
constexpr int FinalCount = 28;
constexpr int FinalRieul = 8;

TEnding EndingOf(QChar c) {
    const char16_t u = c.unicode();
    if (u >= HangulFirst && u <= HangulLast) {
        const int final = (u - HangulFirst) % FinalCount;
        return final == 0 ? TEnding::Vowel : final == FinalRieul ? TEnding::Rieul : TEnding::Consonant;
    }
    // Digits as read in Korean: 영 일 이 삼 사 오 육 칠 팔 구.
    static constexpr TEnding Digits[] = {TEnding::Consonant, TEnding::Rieul,     TEnding::Vowel,
                                         TEnding::Consonant, TEnding::Vowel,     TEnding::Vowel,
                                         TEnding::Consonant, TEnding::Rieul,     TEnding::Rieul,
                                         TEnding::Vowel};
    if (u >= u'0' && u <= u'9')
        return Digits[u - u'0'];
    // Latin letters by their names: 엘 엠 엔 알 end in a consonant, the others in a vowel.
    const char16_t lower = c.toLower().unicode();
    if (lower >= u'a' && lower <= u'z') {
        if (lower == u'l' || lower == u'r')
            return TEnding::Rieul;
        return lower == u'm' || lower == u'n' ? TEnding::Consonant : TEnding::Vowel;
    }
    return TEnding::Unknown;
}

bool Closing(QChar c) {
    return c.category() == QChar::Punctuation_Close ||
           c.category() == QChar::Punctuation_FinalQuote || c == u'"' || c == u'\'';
}

struct TForms {
    QStringView both;
    QStringView afterConsonant;
    QStringView afterVowel;
    QStringView afterRieul;
};

constexpr TForms Forms[] = {
    {u"을(를)", u"을", u"를", u"을"}, {u"이(가)", u"이", u"가", u"이"},
    {u"은(는)", u"은", u"는", u"은"}, {u"(으)로", u"으로", u"로", u"로"},
    {u"과(와)", u"과", u"와", u"과"},
};

QStringView Chosen(const TForms& forms, TEnding ending) {
    switch (ending) {
    case TEnding::Vowel:
        return forms.afterVowel;
    case TEnding::Rieul:
        return forms.afterRieul;
    case TEnding::Consonant:
        return forms.afterConsonant;
    case TEnding::Unknown:
        break;
    }
    return forms.both;
}

} // namespace

QString Resolve(const QString& text) {
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const TForms* found = nullptr;
        for (const TForms& forms : Forms)
            if (QStringView(text).mid(at).startsWith(forms.both)) {
                found = &forms;
                break;
            }
        if (!found) {
            out += text[at++];
            continue;
        }
        // The word ends before the one space the double form was written after.
        const bool spaced = out.endsWith(u' ');
        qsizetype last = out.size() - (spaced ? 2 : 1);
        while (last >= 0 && Closing(out[last]))
            --last;
        const TEnding ending = last >= 0 ? EndingOf(out[last]) : TEnding::Unknown;
        if (spaced && ending != TEnding::Unknown)
            out.chop(1);
        out += Chosen(*found, ending);
        at += found->both.size();
    }
    return out;
}

} // namespace qbParticle
