#include "ui/map_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLayout>

#include "app/window_message_event.h"
#include "platform/paths.h"
#include "platform/window_messages.h"
#include "ui/corvane_dlg.h"
#include "ui/map/browser.h"
#include "ui/map/map_markers.h"
#include "ui/map/map_page_files.h"
#include "ui/map/map_page_options.h"

namespace corvane {

std::unique_ptr<MapViewBridge> CreateMapView(CCorvaneDlg& window) {
    return std::make_unique<MapView>(window);
}

MapView::MapView(CCorvaneDlg& window)
    : window_(window),
      browser_(new CBrowser(window.MapArea() ? window.MapArea() : static_cast<QWidget*>(&window))) {
    if (QWidget* area = window.MapArea(); area && area->layout())
        area->layout()->addWidget(browser_);
    const std::string& folder = window.App().dataFolder;
    folder_ = QFile::decodeName(
        QByteArray::fromStdString(folder.empty() ? platform::DataFolder() : folder));

    // When the page has loaded: restore the view, then place the markers.
    QObject::connect(browser_, &CBrowser::DocumentComplete, &window, [&window] {
        QCoreApplication::postEvent(&window, new WindowMessageEvent(WM_RESTORE_MAP_VIEW, 0, 0));
        QCoreApplication::postEvent(&window, new WindowMessageEvent(WM_UPDATE_MARKERS, 0, 0));
    });
    QObject::connect(browser_, &CBrowser::MapMoved, &window, &CCorvaneDlg::MapMoved);
    QObject::connect(browser_, &CBrowser::MarkToggled, &window, &CCorvaneDlg::MapTick);
}

void MapView::LoadPage() {
    ExtractMapPage(folder_, true);
    if (folder_.isEmpty()) return;
    browser_->Navigate(QDir(folder_).filePath(MapPageFileName()),
                       MapPageOptionsFrom(window_.App().settings));
}

void MapView::RemovePageFiles() { ExtractMapPage(folder_, false); }

void MapView::UpdateMarkers(int mapCaster) {
    PlaceMarkers(*browser_, window_.App().registry, mapCaster);
}

void MapView::RestoreMapView() {
    const AppSettings& s = window_.App().settings;
    browser_->MoveMap(s.scale, s.centerX, s.centerY);
}

void MapView::EnableMark(bool enabled) { browser_->EnableMark(enabled ? 1 : 0); }

void MapView::UpdateMark(const QString& name, bool selected) {
    browser_->UpdateMark(name, selected ? 1 : 0);
}

}  // namespace corvane
