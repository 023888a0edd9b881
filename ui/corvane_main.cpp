// corvane [HOST [PORT]]: the desktop application. Qt takes its own arguments
// (-platform, -style, ...) first; the rest name the built-in caster.
#include <QApplication>
#include <QStringList>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/desktop_startup.h"
#include "app/qt_settings_store.h"
#include "ui/main_phase.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(corvane::resources::AppIcon());

    corvane::CCorvaneApp app;
    corvane::QtSettingsStore store("corvane");
    corvane::RunDesktop(app, QApplication::arguments().mid(1), store, corvane::RunMainPhase);
    store.Sync();
    return 0;
}
