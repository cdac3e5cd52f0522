// The folder tree keeps the folder it was sent to in view while the file system model lists and sorts the
// folders above it in the background.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "app/FolderTree.h"

namespace lumetra {

class FolderTreeTest : public QObject {
  Q_OBJECT

 private slots:
  // Many sibling folders are listed before the chosen one, in an order the model sorts only after they
  // arrive: the chosen folder must end in view, selected, not wherever the sorting left the rows.
  void ChosenFolderStaysInViewAfterTheListingIsSorted() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    // Created in an order other than the sorted one, so that sorting moves rows.
    for (int i = 299; i >= 0; --i) QVERIFY(QDir(root.path()).mkpath(QStringLiteral("f%1").arg(i, 3, 10, QChar('0'))));
    const QString chosen = root.path() + QStringLiteral("/f150");

    FolderTree tree;
    tree.resize(260, 400);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QVERIFY(tree.SelectFolder(chosen));
    // Long enough for the background listing and the model's delayed sort to finish.
    QTest::qWait(1500);

    QCOMPARE(QDir(tree.SelectedPath()).absolutePath(), QDir(chosen).absolutePath());
    const QRect row = tree.visualRect(tree.currentIndex());
    QVERIFY2(tree.viewport()->rect().contains(row), "the chosen folder is scrolled out of view");
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::FolderTreeTest)
#include "FolderTreeTest.moc"
