#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "ripper/FreedbSettingsValues.h"

namespace corvane {

class IFreedbClient;
class SettingsStore;

// "FreeDB Settings": auto query, the look-up service, the freedb server (listed by the freedb
// client component, or one the user names), the MusicBrainz address, the e-mail address sent
// with look-ups and the proxy. Reads its values (writing missing defaults) when
// constructed, writes them on OK, nothing on Cancel.
class CFreeDBSettings : public QDialog {
  Q_OBJECT
 public:
  CFreeDBSettings(SettingsStore& store, IFreedbClient& client, QWidget* parent = nullptr);
  void accept() override;
  // The values as the controls show them, over those read at construction.
  FreedbSettingsValues FromControls() const;

  QCheckBox* AutoQueryBox() const { return auto_query_; }
  QComboBox* ServiceBox() const { return service_; }
  QComboBox* ServerBox() const { return server_; }
  QLineEdit* ServerNameEdit() const { return server_name_; }
  QLineEdit* MusicBrainzUrlEdit() const { return musicbrainz_url_; }
  QLineEdit* EmailEdit() const { return email_; }
  QCheckBox* UseProxyBox() const { return use_proxy_; }
  QLineEdit* ProxyEdit() const { return proxy_; }

 private:
  SettingsStore& store_;
  FreedbSettingsValues values_;
  void FollowService(int service);

  QCheckBox* auto_query_ = nullptr;
  QComboBox* service_ = nullptr;
  QComboBox* server_ = nullptr;
  QLineEdit* server_name_ = nullptr;
  QLineEdit* musicbrainz_url_ = nullptr;
  QLineEdit* email_ = nullptr;
  QCheckBox* use_proxy_ = nullptr;
  QLineEdit* proxy_ = nullptr;
};

}  // namespace corvane
