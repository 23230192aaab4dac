#pragma once
#include <QByteArrayView>
#include <QString>

namespace corvane {

// The text of a cue sheet or of a string in a cdrdao table: UTF-8 when the bytes are valid UTF-8
// (a leading byte-order mark dropped), Windows-1252 otherwise, which is what older rippers wrote.
QString DecodeSheetText(QByteArrayView bytes);

}  // namespace corvane
