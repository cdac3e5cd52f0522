// The desktop program's main window, on the off-screen platform.

#include <QtTest/QtTest>

#include "app/Lumetra_main.h"

namespace lumetra {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void opensWithTheProgramNameAndVersion() {
    TForm_Exif window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), QStringLiteral("Form_Exif"));
    QVERIFY(window.windowTitle().startsWith(QStringLiteral("Lumetra ")));
    QVERIFY(window.isVisible());
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::MainWindowTest)
#include "MainWindowTest.moc"
