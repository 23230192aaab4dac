#include "ripper/gui/CFreeDBSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

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
  server_->addItems(FreedbSettingsValues::ServerEntries(client));
  if (server_->count() > 0)
    server_->setCurrentIndex(values_.server_index >= 0 && values_.server_index < server_->count() ? values_.server_index
                                                                                                  : 0);
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

  email_ = new QLineEdit(values_.client_email, this);
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
  server_name_->setEnabled(freedb);
  musicbrainz_url_->setEnabled(!freedb);
}

FreedbSettingsValues CFreeDBSettings::FromControls() const {
  FreedbSettingsValues values = values_;
  values.auto_query = auto_query_->isChecked();
  values.freedb_source = service_->currentIndex() == int(LookupSource::MusicBrainz) ? 1 : 0;
  values.server_name = server_name_->text().trimmed();
  values.musicbrainz_url = musicbrainz_url_->text().trimmed();
  values.server_index = server_->currentIndex() >= 0 ? server_->currentIndex() : 0;
  values.use_proxy = use_proxy_->isChecked();
  values.SetProxyText(proxy_->text());
  values.client_email = email_->text().trimmed();
  return values;
}

void CFreeDBSettings::accept() {
  FromControls().Save(store_);
  QDialog::accept();
}

}  // namespace corvane
