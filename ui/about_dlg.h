// The about box: the application icon, "Corvane, 버전 20.04.17" and an OK
// button. Opened from F1 and the window menu's about item.
#pragma once

#include <QDialog>

class QLabel;

namespace corvane {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Corvane, 버전 %02d.%02d.%02d" with the application's version.
    static QString VersionLine();
    QLabel* VersionLabel() const { return version_; }

private:
    QLabel* version_ = nullptr;
};

}  // namespace corvane
