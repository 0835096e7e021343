#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Coordinate files are written in GB18030, which gives the same bytes as GBK for every GBK character
// and keeps any other character instead of turning it into "?".
QByteArray EncodeFileText(QStringView text);

// A file is read as UTF-8 when it starts with a UTF-8 byte-order mark or is valid UTF-8 holding
// multi-byte sequences (files from other tools), otherwise as GB18030. A byte-order mark is not
// part of the text.
QString DecodeFileText(const QByteArray &bytes);

// Reads a whole file. On failure returns false and sets error to the reason, in words for the user.
bool ReadFileBytes(const QString &path, QByteArray *bytes, QString *error);

// Writes a file through QSaveFile, so a failed save never leaves a half-written file in place of the
// old one: write puts the whole content into the file and tells whether the file took it. On failure
// returns false and sets error to the reason, in words for the user.
bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error);
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
