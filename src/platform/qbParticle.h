#pragma once

#include <QString>

// Korean particles that change with the sound before them: 을/를, 이/가, 은/는, (으)로, 과/와.
namespace qbParticle {

// The text with each double form ("을(를)", "이(가)", "은(는)", "(으)로", "과(와)") replaced by
// the one the word before it takes, joined to that word: "오늘 일기 을(를) 삭제합니까?" becomes
// "오늘 일기를 삭제합니까?". A Hangul syllable is read by its final consonant, a digit or a Latin
// letter by its Korean name ("1" is 일, "L" is 엘); closing quotes and brackets after the word
// are passed over. Where the ending cannot be read the double form stays as it was.
QString Resolve(const QString& text);

} // namespace qbParticle
