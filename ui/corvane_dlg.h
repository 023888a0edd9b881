// The main window: the mountpoint list on the left, the map or the message
// inspector on the right, and the row of buttons along the bottom. It runs
// modally for the whole main phase and stops every channel before it closes,
// however it is closed.
//
// Window messages (WindowMessageEvent) arrive in event(): WM_REFRESH_REQUEST,
// WM_CHANNEL_EVENT and WM_TCP_START_PORT from channels and dialogs,
// WM_RTCM_DECODED for the inspector, and WM_UPDATE_MARKERS,
// WM_LAYOUT_COLUMNS and WM_RESTORE_MAP_VIEW that it sends itself.
//
// The map and the inspector plug in through MapViewBridge and
// MessageInspector (made by CreateMapView and CreateMessageInspector): the
// map puts its view into MapArea() and calls MapTick/MapMoved; the inspector
// fills MessageTree() and MessageTable() and the title InspectorTitle().
#pragma once

#include <QDialog>
#include <QFont>
#include <functional>
#include <memory>

#include "app/corvane_app.h"
#include "app/template_dialog.h"
#include "platform/window_receiver.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class QTableWidget;
class QTreeWidget;

namespace corvane {

class ChannelControl;
class MapViewBridge;
class MessageInspector;
class MountListController;
class MountListModel;
class QtWindowReceiver;
class myCheckBox;

class CCorvaneDlg : public QDialog {
    Q_OBJECT

public:
    // Replacements of the window's parts, for tests; empty members take the
    // application's own.
    struct Parts {
        std::function<std::unique_ptr<MapViewBridge>(CCorvaneDlg&)> map;
        std::function<std::unique_ptr<MessageInspector>(CCorvaneDlg&)> inspector;
        // The options dialog, run modally over the window.
        std::function<void(CCorvaneDlg&)> options;
    };

    // Builds the window and initialises it: controls, fonts, columns, the
    // map page, placement from the settings, the first refresh, the clock.
    explicit CCorvaneDlg(CCorvaneApp& app, Parts parts = {}, QWidget* parent = nullptr);
    ~CCorvaneDlg() override;

    // The refresh of both source tables and the list (remember: 0 at
    // start-up, 1 afterwards). Refused while running, except for the markers.
    void RefreshMountList(int remember);
    // The mountpoint list's column widths, and the decoded-message table's
    // for the message type on show.
    void LayoutColumns();
    void FillMountList(int selectedOnly);

    // The buttons' commands.
    void OnRefresh();
    void OnShowSelected();
    void OnClearSelection();
    void OnToggleDecodingView();
    void OnMapCaster(int caster);
    void OnStartStop();
    void OnOptions();
    void OnExit();
    void ShowAbout();

    // The page's callbacks: a mountpoint ticked or unticked on the map (typ:
    // bit value 1 ticked, bit value 4 manual caster), the map moved.
    void MapTick(const QString& name, int typ);
    void MapMoved(int zoom, int lat, int lon);

    // ---- For the map, the inspector and tests. ----
    CCorvaneApp& App() { return app_; }
    QWidget* MapArea() const { return mapArea_; }
    QTreeWidget* MessageTree() const { return tree_; }
    QTableWidget* MessageTable() const { return table_; }
    QLabel* InspectorTitle() const { return title_; }
    QLabel* Clock() const { return clock_; }
    QTableView* MountList() const { return list_; }
    MountListModel* MountRows() const { return model_; }
    MountListController& ListControl() const { return *controller_; }
    myCheckBox* OutputsEditor() const { return editor_; }
    ChannelControl& Channels() const { return *channels_; }
    QWidget* Control(int id) const { return controls_.Control(id); }
    MapViewBridge& Map() const { return *map_; }
    MessageInspector& Inspector() const { return *inspector_; }
    platform::WindowReceiver& Receiver() const;
    bool DecodingView() const { return decodingView_; }
    bool SelectedOnly() const { return selectedOnly_; }
    int MapCaster() const { return mapCaster_; }

    // The three fonts of the window.
    QFont headerFont, titleFont, tableHeaderFont;

    static constexpr int kMinWidth = 1059;
    static constexpr int kMinHeight = 582;

public slots:
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget* MakeControl(const ControlTemplate& c, QWidget* parent);
    void SetUpMountList();
    void SetUpDecodedTable();
    void AddSystemMenuItem();
    void PlaceWindow();
    void StorePlacement();
    void Tick();
    void ApplyRunState();
    void PostToSelf(std::uint32_t message);

    CCorvaneApp& app_;
    Parts parts_;
    TemplateControls controls_;
    std::unique_ptr<QtWindowReceiver> receiver_;
    std::unique_ptr<ChannelControl> channels_;
    std::unique_ptr<MapViewBridge> map_;
    std::unique_ptr<MessageInspector> inspector_;

    QTableView* list_ = nullptr;
    MountListModel* model_ = nullptr;
    MountListController* controller_ = nullptr;
    myCheckBox* editor_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QTableWidget* table_ = nullptr;
    QWidget* mapArea_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* clock_ = nullptr;
    QPushButton* startButton_ = nullptr;

    bool decodingView_ = false;
    bool selectedOnly_ = false;
    int mapCaster_ = 0;
    int clockTimer_ = 0;
    bool headerDragged_ = false;
    bool closing_ = false;
};

}  // namespace corvane
