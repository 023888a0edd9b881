#include "ui/main_phase.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/dialog_font.h"
#include "app/ntrip_option_dlg.h"

namespace corvane {

// Until the main window exists: a window that opens the options and closes.
void RunMainPhase(CCorvaneApp& app) {
    QDialog window;
    window.setWindowTitle(QStringLiteral("Corvane"));
    window.setWindowIcon(resources::AppIcon());
    window.setFont(DialogFont(QStringLiteral("맑은 고딕"), 10));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Corvane"), &window));
    auto* buttons = new QHBoxLayout;
    auto* options = new QPushButton(QStringLiteral("옵션"), &window);
    auto* close = new QPushButton(QStringLiteral("종료"), &window);
    QObject::connect(options, &QPushButton::clicked, &window, [&app, &window] {
        CNtripOptionDlg dlg(app, &window);
        dlg.exec();
    });
    QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
    buttons->addWidget(options);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    window.exec();
}

}  // namespace corvane
