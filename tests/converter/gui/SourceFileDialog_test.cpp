// The add-files dialog's filters: the descriptions as written, patterns in both letter cases.
#include <QFileDialog>
#include <QtTest>

#include "converter/gui/SourceFileDialog.h"

using namespace corvane;

class SourceFileDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void filtersKeepTheirDescriptionsAndMatchBothCases() {
    const QStringList filters = SourceFileDialog::NameFilters();
    QCOMPARE(filters.size(), 20);
    QVERIFY(filters[1].startsWith(QStringLiteral("MPEG files (*.mp3;*.mp2;*.mp1;*.mpa) (*.mp3 *.MP3 ")));
    QCOMPARE(filters.last(), QStringLiteral("All Files (*.*) (*)"));

    // The dialog shows each description exactly as written, and hands the chosen filter back
    // whole when asked for it by that text.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[10]);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Musepack files (*.mpc;*.mp+;*.mpp)"));
    dialog.selectNameFilter(filters[19]);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("All Files (*.*)"));
  }
};

QTEST_MAIN(SourceFileDialogTest)
#include "SourceFileDialog_test.moc"
