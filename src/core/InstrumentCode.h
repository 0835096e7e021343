#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The instrument character code both series use for text inside frames: space, "+", "-", ".",
// digits and letters keep their ASCII codes; 125, 126 and 127 are the degree, minute and second
// marks of angles (received only).

// The text of one received code: its character, or the code's decimal text when the code has none
// (13 gives "13", 200 gives "200").
QString CodeToCharacter(int code);

// The code of one character to send, or nothing when the instrument cannot carry it.
std::optional<unsigned char> CharacterToCode(QChar character);

// One code per character of text, or nothing when some character has no code.
std::optional<QByteArray> TextToCodes(const QString &text);

// Position of the first character of text that has no code, or -1 when all have one.
int FirstUncodableCharacter(const QString &text);
