#pragma once
// Which characters stored text may hold: every text the program stores must
// come back the same from the CP932 text backup.
//   - Characters CP932 cannot hold (𠮷, emoji, a right-to-left mark) and
//     characters CP932 writes as an ASCII byte of another meaning (¥ U+00A5
//     becomes "\", ‾ U+203E becomes "~") are refused.
//   - Control characters (tab, line breaks) are refused: they would split the
//     choice lists and the backup's lines.
//   - Characters that CP932 holds only as a look-alike twin (〜 U+301C as ～
//     U+FF5E, − U+2212 as － U+FF0D, ‖ — ¢ £ ¬) are stored as that twin, which
//     is what the input methods of Japanese Windows produce anyway.
// The text inputs apply these rules through platform::TextGuard (textguard.h).

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace platform {

struct TextRefusal {
    QString character;  // the refused character (a surrogate pair is one character)
    QString message;    // for the user, naming the character and its code
};

// The first character of text that a text input refuses, or nullopt.
std::optional<TextRefusal> refusedCharacter(const QString& text);

// True when the character (one code point) comes back unchanged from CP932,
// i.e. the backup stores it as it is.
bool survivesCp932(const QString& character);

// True for the characters that CP932 writes as an ASCII byte of another
// meaning (¥ U+00A5 as "\", ‾ U+203E as "~"): written to a CP932 file, they
// come back as another character.
bool turnsAsciiInCp932(QChar c);
// True when UTF-8 text holds such a character.
bool containsCharTurningAscii(QByteArrayView utf8);

// The text with each look-alike character replaced by its CP932 twin.
QString cp932Form(const QString& text);

}  // namespace platform
