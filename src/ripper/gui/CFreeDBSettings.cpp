#include "ripper/gui/CFreeDBSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/IFreedbClient.h"
#include "components/freedb/MusicBrainzLookup.h"
#include "ui/DialogSizing.h"

namespace corvane {

CFreeDBSettings::CFreeDBSettings(SettingsStore& store, IFreedbClient& client, QWidget* parent)
    : QDialog(parent), store_(store), values_(FreedbSettingsValues::Load(store)) {
  setWindowTitle(StringTable::Text(text::kFreedbSettingsCaption));
  auto* layout = new QVBoxLayout(this);

  auto_query_ = new QCheckBox(StringTable::Text(text::kAutoQueryBox), this);
  auto_query_->setChecked(values_.auto_query);
  layout->addWidget(auto_query_);

  auto* form = new QFormLayout;
  service_ = new QComboBox(this);
  service_->addItems({StringTable::Text(text::kFreedbServiceEntry), StringTable::Text(text::kMusicBrainzName)});
  service_->setCurrentIndex(values_.freedb_source == int(LookupSource::MusicBrainz) ? 1 : 0);
  form->addRow(StringTable::Text(text::kLookupServiceLabel), service_);

  server_ = new QComboBox(this);
  // The client's ten places often hold one host several times: each host is listed once and
  // stands for the first place that holds it, so a stored place keeps its meaning.
  const QStringList entries = FreedbSettingsValues::ServerEntries(client);
  for (int place = 0; place < entries.size(); ++place) {
    if (server_->findText(entries[place]) < 0) server_->addItem(entries[place], place);
  }
  int shown = server_->findData(values_.server_index);
  if (shown < 0 && values_.server_index > 0 && values_.server_index < entries.size())
    shown = server_->findText(entries[values_.server_index]);
  if (server_->count() > 0) server_->setCurrentIndex(std::max(shown, 0));
  form->addRow(StringTable::Text(text::kServerUrlLabel), server_);

  // The box's first entry is the server used when none of the list is chosen: the user's own
  // when named, else the default.
  server_name_ = new QLineEdit(values_.server_name, this);
  server_name_->setPlaceholderText(StringTable::Format(text::kDefaultValuePlaceholder, {DefaultFreedbServer()}));
  const auto showOwnServer = [this](const QString& name) {
    if (server_->count() > 0)
      server_->setItemText(0, name.trimmed().isEmpty() ? DefaultFreedbServer() : name.trimmed());
  };
  showOwnServer(values_.server_name);
  connect(server_name_, &QLineEdit::textChanged, this, showOwnServer);
  form->addRow(StringTable::Text(text::kServerNameLabel), server_name_);

  musicbrainz_url_ = new QLineEdit(values_.musicbrainz_url, this);
  musicbrainz_url_->setPlaceholderText(
      StringTable::Format(text::kDefaultValuePlaceholder, {MusicBrainzSettings().base_url}));
  form->addRow(StringTable::Text(text::kMusicBrainzUrlLabel), musicbrainz_url_);
  FollowService(service_->currentIndex());
  connect(service_, &QComboBox::currentIndexChanged, this, &CFreeDBSettings::FollowService);
  connect(server_, &QComboBox::currentIndexChanged, this, [this] { FollowService(service_->currentIndex()); });

  // The stored stand-in address is never sent, so it shows as a hint, not as the user's own.
  const QString standIn = FreedbClientSettings::DefaultClientEmail();
  const bool ownEmail = values_.client_email.compare(standIn, Qt::CaseInsensitive) != 0;
  email_ = new QLineEdit(ownEmail ? values_.client_email : QString(), this);
  email_->setPlaceholderText(standIn);
  auto* emailNote = new QLabel(StringTable::Text(text::kEmailSentNote), this);
  emailNote->setWordWrap(true);
  form->addRow(StringTable::Text(text::kEmailLabel), email_);
  form->addRow(QString(), emailNote);
  layout->addLayout(form);

  use_proxy_ = new QCheckBox(StringTable::Text(text::kUseProxyBox), this);
  use_proxy_->setChecked(values_.use_proxy);
  proxy_ = new QLineEdit(values_.ProxyText(), this);
  proxy_->setPlaceholderText(StringTable::Text(text::kProxyPlaceholder));
  proxy_->setEnabled(values_.use_proxy);
  connect(use_proxy_, &QCheckBox::toggled, proxy_, &QLineEdit::setEnabled);
  layout->addWidget(use_proxy_);
  // The edit sits under its box's text, so the two read as one.
  auto* proxyRow = new QHBoxLayout;
  proxyRow->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
  proxyRow->addWidget(proxy_);
  layout->addLayout(proxyRow);
  auto* portNote = new QLabel(StringTable::Text(text::kProxyPortShared), this);
  portNote->setObjectName(QStringLiteral("proxyPortNote"));
  portNote->setWordWrap(true);
  auto* noteRow = new QHBoxLayout;
  noteRow->addSpacing(proxyRow->itemAt(0)->sizeHint().width());
  noteRow->addWidget(portNote);
  layout->addLayout(noteRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFreeDBSettings::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  WidenForPath(*email_, 30, 60);
  WidenForPath(*musicbrainz_url_, 30, 60);
  SizeDialogToContent(*this, 50);
}

void CFreeDBSettings::FollowService(int service) {
  const bool freedb = service != int(LookupSource::MusicBrainz);
  server_->setEnabled(freedb);
  // The user's own server name serves only the box's first entry.
  server_name_->setEnabled(freedb && server_->currentData().toInt() == 0);
  musicbrainz_url_->setEnabled(!freedb);
}

FreedbSettingsValues CFreeDBSettings::FromControls() const {
  FreedbSettingsValues values = values_;
  values.auto_query = auto_query_->isChecked();
  values.freedb_source = service_->currentIndex() == int(LookupSource::MusicBrainz) ? 1 : 0;
  values.server_name = server_name_->text().trimmed();
  values.musicbrainz_url = musicbrainz_url_->text().trimmed();
  values.server_index = server_->currentIndex() >= 0 ? server_->currentData().toInt() : 0;
  values.use_proxy = use_proxy_->isChecked();
  values.SetProxyText(proxy_->text());
  // Left empty, the stand-in is stored as before.
  values.client_email =
      email_->text().trimmed().isEmpty() ? FreedbClientSettings::DefaultClientEmail() : email_->text().trimmed();
  return values;
}

void CFreeDBSettings::accept() {
  FromControls().Save(store_);
  QDialog::accept();
}

}  // namespace corvane
