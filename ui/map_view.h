// The map in the main window's right half: the browser with the map page,
// the page's files in the data folder, and the page's calls passed to the
// window (ticks to MapTick, moves to MapMoved).
#pragma once

#include <QString>

#include "ui/map_view_bridge.h"

namespace corvane {

class CBrowser;

class MapView : public MapViewBridge {
public:
    explicit MapView(CCorvaneDlg& window);

    void LoadPage() override;
    void RemovePageFiles() override;
    void UpdateMarkers(int mapCaster) override;
    void RestoreMapView() override;
    void EnableMark(bool enabled) override;
    void UpdateMark(const QString& name, bool selected) override;

    CBrowser& Browser() const { return *browser_; }
    // The folder the page and its images are written to.
    const QString& PageFolder() const { return folder_; }

private:
    CCorvaneDlg& window_;
    CBrowser* browser_;
    QString folder_;
};

}  // namespace corvane
