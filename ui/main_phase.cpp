#include "ui/main_phase.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/dialog_font.h"

namespace corvane {

// Until the main window exists: a window that only closes.
void RunMainPhase(CCorvaneApp&) {
    QDialog window;
    window.setWindowTitle(QStringLiteral("Corvane"));
    window.setWindowIcon(resources::AppIcon());
    window.setFont(DialogFont(QStringLiteral("맑은 고딕"), 10));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Corvane"), &window));
    auto* close = new QPushButton(QStringLiteral("종료"), &window);
    QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
    layout->addWidget(close);
    window.exec();
}

}  // namespace corvane
