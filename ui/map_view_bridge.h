// What the main window asks of the map in its right half. The window holds
// one MapViewBridge; CreateMapView makes it when the window is built. The
// bridge puts its widget into the map area (MapArea(), a layout-managed
// frame) and calls the window back for the page's ticks and moves
// (CCorvaneDlg::MapTick, CCorvaneDlg::MapMoved).
//
// Until the map lands, CreateMapView returns a bridge that does nothing and
// the map area stays empty.
#pragma once

#include <memory>

class QString;

namespace corvane {

class CCorvaneDlg;

class MapViewBridge {
public:
    virtual ~MapViewBridge() = default;

    // During the window's initialisation: write the page and its marker
    // images into the data folder and load the page into the map area.
    virtual void LoadPage() {}
    // When the window is destroyed: delete the page files.
    virtual void RemovePageFiles() {}
    // WM_UPDATE_MARKERS: place the markers of the caster `mapCaster` (0
    // built-in, 1 manual) anew.
    virtual void UpdateMarkers(int mapCaster) { (void)mapCaster; }
    // WM_RESTORE_MAP_VIEW: move the map to the stored zoom and centre.
    virtual void RestoreMapView() {}
    // After every Start/Stop: whether the page may tick mountpoints.
    virtual void EnableMark(bool enabled) { (void)enabled; }
    // A mountpoint's tick changed in the list.
    virtual void UpdateMark(const QString& name, bool selected) {
        (void)name;
        (void)selected;
    }
};

// Makes the window's map bridge (called once, from the window's constructor).
std::unique_ptr<MapViewBridge> CreateMapView(CCorvaneDlg& window);

}  // namespace corvane
