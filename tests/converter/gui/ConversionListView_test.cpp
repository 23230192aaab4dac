// The conversion list view: dropped files and folders reach the list, the Delete key removes
// the selected rows, and the view's selection and the list's stay the same.
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "common/MemorySettings.h"
#include "converter/ConversionList.h"
#include "converter/ConversionListLoader.h"
#include "converter/gui/ConversionListModel.h"
#include "converter/gui/ConversionListView.h"
#include "engine/CAudioEngine.h"
#include "support/ScriptedUserInterface.h"
#include "support/SourceFixtures.h"

using namespace corvane;

namespace {

QList<int> ViewSelectedRows(const QTableView& view) {
  QList<int> rows;
  for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QMimeData* UrlData(const QStringList& paths) {
  auto* mime = new QMimeData;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  mime->setUrls(urls);
  return mime;
}

// Drags `mime` over the view and drops it, as the window system delivers it to the viewport.
bool DragAndDrop(ConversionListView& view, QMimeData* mime) {
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.viewport(), &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view.viewport(), &drop);
  return drop.isAccepted();
}

}  // namespace

class ConversionListViewTest : public QObject {
  Q_OBJECT
 private:
  QString Wav(const QString& name) {
    const QString path = dir_->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::exists(dir_->filePath(QStringLiteral("t.wav")))) {
      test::MakeTone(dir_->filePath(QStringLiteral("t.wav")), 0.5, 44100, 1);
    }
    QFile::copy(dir_->filePath(QStringLiteral("t.wav")), path);
    return path;
  }

  std::unique_ptr<MemorySettings> settings_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<CAudioEngine> engine_;
  std::unique_ptr<test::ScriptedUserInterface> ui_;
  std::unique_ptr<ConversionList> list_;
  std::unique_ptr<ConversionListLoader> loader_;
  std::unique_ptr<ConversionListView> view_;

 private slots:
  void init() {
    settings_ = std::make_unique<MemorySettings>();
    dir_ = std::make_unique<QTemporaryDir>();
    engine_ = std::make_unique<CAudioEngine>();
    QVERIFY(engine_->BindAll().Succeeded());
    ui_ = std::make_unique<test::ScriptedUserInterface>();
    list_ = std::make_unique<ConversionList>(*engine_, *ui_, *settings_);
    loader_ = std::make_unique<ConversionListLoader>(*list_);
    view_ = std::make_unique<ConversionListView>(*list_, *loader_);
    view_->resize(800, 300);
    view_->show();
  }
  void cleanup() {
    view_.reset();
    loader_.reset();
    list_.reset();
    ui_.reset();
    engine_.reset();
    dir_.reset();
    settings_.reset();
  }

  void columnsComeFromTheSpecification() {
    QCOMPARE(view_->model()->columnCount(), 8);
    QCOMPARE(view_->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("File/Folder Name"));
    QCOMPARE(view_->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Audio Info."));
    QCOMPARE(view_->columnWidth(1), 150);
    QCOMPARE(view_->columnWidth(5), 280);
    QVERIFY(view_->showGrid());
    QVERIFY(view_->horizontalHeader()->sectionsMovable());
    QCOMPARE(view_->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view_->selectionMode(), QAbstractItemView::ExtendedSelection);
  }

  void droppedFilesAndFolderBecomeRows() {
    const QString a = Wav(QStringLiteral("a.wav"));
    const QString b = Wav(QStringLiteral("b.wav"));
    const QString album = dir_->filePath(QStringLiteral("Album"));
    QVERIFY(QDir().mkpath(album));
    Wav(QStringLiteral("Album/c.wav"));
    QSignalSpy dropped(view_.get(), &ConversionListView::PathsDropped);

    std::unique_ptr<QMimeData> mime(UrlData({a, album, b}));
    QVERIFY(DragAndDrop(*view_, mime.get()));
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.first().first().value<LoadResult>().added, 3);
    QCOMPARE(view_->model()->rowCount(), 3);
    QCOMPARE(view_->model()->index(1, 1).data().toString(), QStringLiteral("Album"));
    QCOMPARE(view_->model()->index(1, 4).data().toString(), QStringLiteral("Folder"));
    QCOMPARE(view_->model()->index(1, 3).data().toString(), QString());  // not scanned on a drop
    QCOMPARE(view_->model()->index(2, 0).data().toString(), QStringLiteral("03"));
    QCOMPARE(ViewSelectedRows(*view_), list_->SelectedRows());
    QCOMPARE(view_->currentIndex().row(), 2);

    std::unique_ptr<QMimeData> text(new QMimeData);
    text->setText(a);
    QVERIFY(!DragAndDrop(*view_, text.get()));
    std::unique_ptr<QMimeData> remote(new QMimeData);
    remote->setUrls({QUrl(QStringLiteral("https://example.org/a.mp3"))});
    QVERIFY(!DragAndDrop(*view_, remote.get()));
    QCOMPARE(view_->model()->rowCount(), 3);
  }

  void deleteKeyRemovesTheSelectedRows() {
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav"}) {
      QVERIFY(list_->AddPath(Wav(QString::fromLatin1(name))) >= 0);
    }
    QCOMPARE(view_->model()->rowCount(), 5);
    view_->clearSelection();
    QVERIFY(list_->SelectedRows().isEmpty());
    QSignalSpy updates(view_.get(), &ConversionListView::SelectionUpdateNeeded);
    const auto selectRow = [this](int row) {
      view_->selectionModel()->select(view_->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    selectRow(1);
    selectRow(3);
    QCOMPARE(list_->SelectedRows(), QList<int>({1, 3}));
    QVERIFY(updates.count() >= 2);

    view_->setFocus();
    QTest::keyClick(view_.get(), Qt::Key_Delete);
    QCOMPARE(view_->model()->rowCount(), 3);
    QCOMPARE(view_->model()->index(1, 1).data().toString(), QStringLiteral("3.wav"));
    QCOMPARE(view_->model()->index(2, 0).data().toString(), QStringLiteral("03"));
    QCOMPARE(list_->SelectedRows(), QList<int>({0}));
    QCOMPARE(ViewSelectedRows(*view_), QList<int>({0}));
    QCOMPARE(view_->currentIndex().row(), 0);

    view_->clearSelection();
    QTest::keyClick(view_.get(), Qt::Key_Delete);
    QCOMPARE(ui_->MessageTexts(), QStringList({QStringLiteral("Please select the item from the list first!")}));
    ui_->answers = {MessageAnswer::Yes};
    QVERIFY(list_->RemoveAll());
    QCOMPARE(view_->model()->rowCount(), 0);
  }
};

QTEST_MAIN(ConversionListViewTest)
#include "ConversionListView_test.moc"
