// corvane [HOST [PORT]]: the desktop application. Qt takes its own arguments
// (-platform, -style, ...) first; the rest name the built-in caster.
#include <QApplication>
#include <QStringList>
#include <string>
#include <vector>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/qt_settings_store.h"
#include "ui/main_phase.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(corvane::resources::AppIcon());

    std::vector<std::string> args;
    const QStringList all = QApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) args.push_back(all[i].toLocal8Bit().toStdString());

    corvane::CCorvaneApp app;
    corvane::QtSettingsStore store("corvane");
    app.Run(args, store, [](corvane::CCorvaneApp&) { return true; }, corvane::RunMainPhase);
    store.Sync();
    return 0;
}
