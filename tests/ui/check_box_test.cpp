// The check-list drop-down on its own: keys in the closed and the open
// control, clicks, the letters it shows and when it tells its parent.
#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/ui_test_support.h"
#include "ui/my_check_box.h"

namespace corvane {

class CheckBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { box.reset(); }
    void closedTextFollowsTheBits_data();
    void closedTextFollowsTheBits();
    void keysOfTheClosedControl_data();
    void keysOfTheClosedControl();
    void spaceInTheDropDownTogglesTheHighlightedItem();
    void leftClicksToggleQuietly();

private:
    QPoint ItemCentre(int item) const {
        QAbstractItemView* view = box->view();
        return view->visualRect(view->model()->index(item, 0)).center();
    }
    std::unique_ptr<myCheckBox> box;
};

void CheckBoxTest::init() {
    box = std::make_unique<myCheckBox>();
    box->addItems({"BIN", "DEC", "RNX"});
    box->resize(80, 20);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
}

void CheckBoxTest::closedTextFollowsTheBits_data() {
    QTest::addColumn<uint>("bits");
    QTest::addColumn<QString>("text");
    const char* letters[] = {"", "B", "D", "BD", "R", "BR", "DR", "BDR"};
    for (uint bits = 0; bits < 8; ++bits) QTest::addRow("%u", bits) << bits << letters[bits];
    QTest::newRow("bit 3 not shown") << 0x0Du << "BR";
}

void CheckBoxTest::closedTextFollowsTheBits() {
    QFETCH(uint, bits);
    QFETCH(QString, text);
    box->SetCheckBits(bits);
    QCOMPARE(box->ClosedText(), text);
    QCOMPARE(box->CheckBits(), bits);  // every bit kept
    // The selection the combo box holds does not change what it shows.
    box->setCurrentIndex(1);
    QCOMPARE(box->ClosedText(), text);
}

void CheckBoxTest::keysOfTheClosedControl_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opens");
    QTest::newRow("Up") << int(Qt::Key_Up) << true;
    QTest::newRow("Down") << int(Qt::Key_Down) << true;
    QTest::newRow("Left") << int(Qt::Key_Left) << false;
    QTest::newRow("Right") << int(Qt::Key_Right) << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << false;
}

void CheckBoxTest::keysOfTheClosedControl() {
    QFETCH(int, key);
    QFETCH(bool, opens);
    box->SetCheckBits(2);
    box->setCurrentIndex(0);
    QTest::keyClick(box.get(), Qt::Key(key));
    QCOMPARE(box->PopupOpen(), opens);
    QCOMPARE(box->CheckBits(), 2u);
    QCOMPARE(box->currentIndex(), 0);
    if (opens) box->hidePopup();
}

void CheckBoxTest::spaceInTheDropDownTogglesTheHighlightedItem() {
    QSignalSpy changed(box.get(), &myCheckBox::selChange);
    QSignalSpy closed(box.get(), &myCheckBox::closedUp);
    box->SetCheckBits(0);
    box->showPopup();
    QAbstractItemView* view = box->view();
    view->setCurrentIndex(view->model()->index(2, 0));
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(box->CheckBits(), 4u);
    QCOMPARE(changed.count(), 1);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(box->CheckBits(), 0u);
    QCOMPARE(changed.count(), 2);
    QVERIFY(box->PopupOpen());
    QCOMPARE(closed.count(), 0);
    // Enter closes it without choosing an item: the bits stay.
    box->SetCheckBits(5);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return !box->PopupOpen(); }));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(box->CheckBits(), 5u);
    QCOMPARE(box->ClosedText(), QString("BR"));
}

void CheckBoxTest::leftClicksToggleQuietly() {
    QSignalSpy changed(box.get(), &myCheckBox::selChange);
    box->SetCheckBits(0);
    box->showPopup();
    QWidget* viewport = box->view()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, ItemCentre(1));
    QCOMPARE(box->CheckBits(), 2u);
    test::DoubleClick(viewport, ItemCentre(0));  // two toggles
    QCOMPARE(box->CheckBits(), 2u);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, ItemCentre(1));
    QCOMPARE(box->CheckBits(), 0u);
    QVERIFY(box->PopupOpen());
    QCOMPARE(changed.count(), 0);
    box->hidePopup();
}

}  // namespace corvane

QTEST_MAIN(corvane::CheckBoxTest)
#include "check_box_test.moc"
