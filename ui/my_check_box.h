// A drop-down list whose items carry check boxes: the user ticks any number
// of items in the open drop-down and the control keeps the ticks as a bit set
// (item i is bit value 2^i). The closed control shows the outputs letters of
// the bits ("", "B", "D", "BD", "R", "BR", "DR", "BDR"), never an item's text.
//
// In the open drop-down a left click toggles the item under it and leaves the
// drop-down open, space toggles the highlighted item, a right click ticks all
// items when none is ticked and clears them all otherwise. Space and right
// click also emit selChange(); left clicks do not. Closed, Up and Down open
// the drop-down and Left, Right and space do nothing. closedUp() is emitted
// whenever the drop-down closes, however it is closed.
#pragma once

#include <QComboBox>
#include <cstdint>

class QListView;

namespace corvane {

class myCheckBox : public QComboBox {
    Q_OBJECT

public:
    explicit myCheckBox(QWidget* parent = nullptr);

    std::uint32_t CheckBits() const { return checkBits_; }
    // Sets the bits (all 32 are kept, also those of items not offered) and
    // repaints.
    void SetCheckBits(std::uint32_t bits);
    // The text of the closed control.
    QString ClosedText() const;
    bool PopupOpen() const;

    void showPopup() override;

    // Free for the owner: the list row being edited, -1 for none.
    int editRow = -1;

signals:
    void closedUp();
    void selChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ToggleItem(int item);
    void SyncItemChecks();

    std::uint32_t checkBits_ = 0;
    bool open_ = false;
    QListView* list_ = nullptr;
    QWidget* container_ = nullptr;
};

}  // namespace corvane
