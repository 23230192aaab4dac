#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "ripper/FreedbSettingsValues.h"

namespace corvane {

class IFreedbClient;
class SettingsStore;

// "FreeDB Settings": auto query, the server (listed by the freedb client component), the e-mail
// address sent with look-ups and the proxy. Reads its values (writing missing defaults) when
// constructed, writes them on OK, nothing on Cancel.
class CFreeDBSettings : public QDialog {
  Q_OBJECT
 public:
  CFreeDBSettings(SettingsStore& store, IFreedbClient& client, QWidget* parent = nullptr);
  void accept() override;
  // The values as the controls show them, over those read at construction.
  FreedbSettingsValues FromControls() const;

  QCheckBox* AutoQueryBox() const { return auto_query_; }
  QComboBox* ServerBox() const { return server_; }
  QLineEdit* EmailEdit() const { return email_; }
  QCheckBox* UseProxyBox() const { return use_proxy_; }
  QLineEdit* ProxyEdit() const { return proxy_; }

 private:
  SettingsStore& store_;
  FreedbSettingsValues values_;
  QCheckBox* auto_query_ = nullptr;
  QComboBox* server_ = nullptr;
  QLineEdit* email_ = nullptr;
  QCheckBox* use_proxy_ = nullptr;
  QLineEdit* proxy_ = nullptr;
};

}  // namespace corvane
