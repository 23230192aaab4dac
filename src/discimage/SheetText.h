#pragma once
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace corvane {

// The text of a cue sheet or of a string in a cdrdao table: UTF-8 when the bytes are valid UTF-8
// (a leading byte-order mark dropped), Windows-1252 otherwise, which is what older rippers wrote.
QString DecodeSheetText(QByteArrayView bytes);

// A time mm:ss:ff (up to 4 digits of minutes, seconds below 60, frames below 75) in sectors;
// -1 when `word` is not one.
qint64 ParseMsf(const QString& word);
// Sectors as mm:ss:ff.
QString MsfText(qint64 sectors);

}  // namespace corvane
