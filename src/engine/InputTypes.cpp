#include "engine/InputTypes.h"

#include <QFileInfo>
#include <array>

#include "common/StringTable.h"
#include "common/strings/EngineText.h"
#include "engine/DecodeStream.h"

namespace corvane {
namespace {

struct Row {
  const char* extension;
  InputType type;
};

constexpr std::array<Row, InputTypes::kRowCount> kRows = {{
    {"", InputType::Unknown},          {"mp3", InputType::Mpeg},         {"mp2", InputType::Mpeg},
    {"mp1", InputType::Mpeg},          {"mpa", InputType::Unknown},      {"wav", InputType::Wav},
    {"ogg", InputType::OggVorbis},     {"wma", InputType::Wma},          {"asf", InputType::Wma},
    {"aif", InputType::Aiff},          {"aiff", InputType::Aiff},        {"flac", InputType::Flac},
    {"ape", InputType::MonkeysAudio},  {"mac", InputType::MonkeysAudio}, {"mpc", InputType::Musepack},
    {"mp+", InputType::Musepack},      {"mpp", InputType::Musepack},     {"aac", InputType::Aac},
    {"m4a", InputType::AppleLossless}, {"mp4", InputType::Mp4},          {"ac3", InputType::Ac3},
    {"wv", InputType::WavPack},        {"spx", InputType::Speex},        {"cda", InputType::CdAudio},
    {"tta", InputType::Tta},           {"ofr", InputType::OptimFrog},    {"adx", InputType::Adx},
    {"aix", InputType::Aix},
}};

struct ChannelRow {
  ChannelType channel;
  InputType type;
};

constexpr ChannelRow kChannelRows[] = {
    {ChannelType::OggVorbis, InputType::OggVorbis},
    {ChannelType::MpegLayer1, InputType::Mpeg},
    {ChannelType::MpegLayer2, InputType::Mpeg},
    {ChannelType::MpegLayer3, InputType::Mpeg},
    {ChannelType::Aiff, InputType::Aiff},
    {ChannelType::Cd, InputType::CdAudio},
    {ChannelType::Wma, InputType::Wma},
    {ChannelType::WmaMp3, InputType::Wma},
    {ChannelType::WavPack, InputType::WavPack},
    {ChannelType::OptimFrog, InputType::OptimFrog},
    {ChannelType::MonkeysAudio, InputType::MonkeysAudio},
    {ChannelType::Flac, InputType::Flac},
    {ChannelType::FlacOgg, InputType::Flac},
    {ChannelType::Musepack, InputType::Musepack},
    {ChannelType::Aac, InputType::Aac},
    {ChannelType::Mp4, InputType::Mp4},
    {ChannelType::Speex, InputType::Speex},
    {ChannelType::Alac, InputType::AppleLossless},
    {ChannelType::Tta, InputType::Tta},
    {ChannelType::Ac3, InputType::Ac3},
    {ChannelType::Adx, InputType::Adx},
    {ChannelType::Aix, InputType::Aix},
    {ChannelType::Wav, InputType::Wav},
    {ChannelType::WavPcm, InputType::Wav},
    {ChannelType::WavFloat, InputType::Wav},
};

bool InRange(int row, int first) { return row >= first && row < InputTypes::kRowCount; }

}  // namespace

QString InputTypes::Extension(int row) {
  return InRange(row, 1) ? QString::fromLatin1(kRows[row].extension) : QString();
}

QString InputTypes::ListText(int row) {
  return InRange(row, 0) ? StringTable::Text(text::kInputTypeListFirst + row) : QString();
}

int InputTypes::RowOfListText(const QString& text) {
  for (int row = 0; row < kRowCount; ++row) {
    if (ListText(row) == text) return row;
  }
  return 0;
}

QStringList InputTypes::ListTexts() {
  QStringList texts;
  for (int row = 0; row < kRowCount; ++row) texts << ListText(row);
  return texts;
}

InputType InputTypes::ByExtension(const QString& extension) {
  if (extension.isEmpty()) return InputType::Unknown;
  for (int row = 1; row < kRowCount; ++row) {
    if (extension.compare(QLatin1String(kRows[row].extension), Qt::CaseInsensitive) == 0) return kRows[row].type;
  }
  return InputType::Unknown;
}

InputType InputTypeOfChannel(ChannelType type) {
  for (const ChannelRow& row : kChannelRows) {
    if (row.channel == type) return row.type;
  }
  return InputType::Unknown;
}

EngineResult<InputType> DetectKnownInputType(const QString& path) {
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : path.mid(dot + 1);
  const InputType byName = InputTypes::ByExtension(extension);
  if (byName != InputType::Unknown && byName != InputType::Aac) return EngineResult<InputType>::Success(byName);

  const EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(path);
  if (!opened.Succeeded()) return EngineResult<InputType>::Failure(opened.status.code);
  const InputType byContent = InputTypeOfChannel((*opened.value)->Info().type);
  if (byContent == InputType::Unknown) return EngineResult<InputType>::Failure(EngineError::FileFormat);
  return EngineResult<InputType>::Success(byContent);
}

InputType DetectInputType(const QString& path) { return DetectKnownInputType(path).value.value_or(InputType::Unknown); }

}  // namespace corvane
