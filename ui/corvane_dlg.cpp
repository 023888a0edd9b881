#include "ui/corvane_dlg.h"

#include <QApplication>
#include <QDateTime>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/desk_resources.h"
#include "app/dialog_font.h"
#include "app/dialog_keys.h"
#include "app/dialog_template.h"
#include "app/dialog_units.h"
#include "app/ntrip_option_dlg.h"
#include "app/qt_window_receiver.h"
#include "app/window_message_event.h"
#include "net/run_flag.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"
#include "ui/about_dlg.h"
#include "ui/channel_control.h"
#include "ui/column_layout.h"
#include "ui/map_view_bridge.h"
#include "ui/message_inspector.h"
#include "ui/mount_list_controller.h"
#include "ui/mount_list_model.h"
#include "ui/mount_row_delegate.h"
#include "ui/my_check_box.h"
#include "ui/window_placement.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace corvane {
namespace {

enum ControlId {
    kMountList = 1001,
    kDecodedTable = 1002,
    kMessageTree = 1003,
    kInspectorTitle = 1004,
    kClock = 1005,
    kMapBrowser = 1007,
    kRefresh = 1031,
    kShowSelected = 1032,
    kClearSelection = 1033,
    kDecodingView = 1034,
    kStartStop = 1035,
    kOptions = 1036,
    kExit = 1037,
    kBuiltinMap = 1038,
    kManualMap = 1039,
    kOutputsEditor = 1041,
};

constexpr int kAboutCommand = 0x0010;
constexpr int kClockPeriodMs = 1000;
constexpr int kEditorFieldHeight = 14;

bool Running() { return runFlag.load() != 0; }

// A bold font of the window's family at a cell height in pixels (the
// character height is about four fifths of it).
QFont BoldFont(int cellHeight) {
    QFont f = DialogFont(QStringLiteral("맑은고딕"), -(cellHeight * 4 / 5));
    f.setBold(true);
    return f;
}

}  // namespace

CCorvaneDlg::CCorvaneDlg(CCorvaneApp& app, Parts parts, QWidget* parent)
    : QDialog(parent), app_(app), parts_(std::move(parts)) {
    receiver_ = std::make_unique<QtWindowReceiver>(this);
    channels_ = std::make_unique<ChannelControl>(app_, receiver_.get());
    model_ = new MountListModel(this);

    const DialogTemplate tmpl = LoadDialogTemplate(QStringLiteral("main"));
    controls_ = BuildFromTemplate(
        this, tmpl,
        [this](const ControlTemplate& c, QWidget* parent) { return MakeControl(c, parent); });
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    AddSystemMenuItem();
    setWindowIcon(resources::AppIcon());

    map_ = parts_.map ? parts_.map(*this) : CreateMapView(*this);
    inspector_ = parts_.inspector ? parts_.inspector(*this) : CreateMessageInspector(*this);

    headerFont = BoldFont(17);
    titleFont = BoldFont(21);
    tableHeaderFont = BoldFont(15);
    title_ = controls_.As<QLabel>(kInspectorTitle);
    clock_ = controls_.As<QLabel>(kClock);
    for (QLabel* l : {title_, clock_})
        if (l) l->setFont(titleFont);
    SetUpMountList();
    SetUpDecodedTable();

    // The map caster buttons show the two pins.
    const std::pair<int, const QString*> pins[] = {{kBuiltinMap, &resources::kPinBuiltin},
                                                   {kManualMap, &resources::kPinManual}};
    for (const auto& [id, path] : pins) {
        auto* radio = controls_.As<QRadioButton>(id);
        if (!radio) continue;
        const QPixmap pin(*path);
        if (!pin.isNull()) {
            radio->setIcon(pin);
            radio->setIconSize(pin.size());
        }
        const int caster = id == kBuiltinMap ? 0 : 1;
        connect(radio, &QRadioButton::clicked, this, [this, caster] { OnMapCaster(caster); });
    }
    if (auto* radio = controls_.As<QRadioButton>(kBuiltinMap)) radio->setChecked(true);

    map_->LoadPage();

    const std::pair<int, void (CCorvaneDlg::*)()> buttons[] = {
        {kRefresh, &CCorvaneDlg::OnRefresh},
        {kShowSelected, &CCorvaneDlg::OnShowSelected},
        {kClearSelection, &CCorvaneDlg::OnClearSelection},
        {kDecodingView, &CCorvaneDlg::OnToggleDecodingView},
        {kStartStop, &CCorvaneDlg::OnStartStop},
        {kOptions, &CCorvaneDlg::OnOptions},
        {kExit, &CCorvaneDlg::OnExit}};
    for (const auto& [id, handler] : buttons) {
        auto* button = controls_.As<QPushButton>(id);
        if (!button) continue;
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
    }
    startButton_ = controls_.As<QPushButton>(kStartStop);

    // Enter and Escape never close the window nor press a button; in the
    // open outputs drop-down Escape still closes the drop-down.
    auto* keys = new DialogKeyFilter(this);
    if (editor_) {
        editor_->view()->removeEventFilter(keys);
        editor_->view()->viewport()->removeEventFilter(keys);
        if (QWidget* popup = editor_->view()->parentWidget()) popup->removeEventFilter(keys);
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &CCorvaneDlg::ShowAbout);

    // Where the dialog font makes the template larger than the minimum, the
    // template's own size is the minimum: smaller, the layout would move the
    // bottom buttons over each other.
    const QSize natural = DialogUnitsToPixels(tmpl.size, controls_.Units());
    setMinimumSize(std::max(kMinWidth, natural.width()), std::max(kMinHeight, natural.height()));
    PlaceWindow();
    RefreshMountList(0);
    Tick();
    clockTimer_ = startTimer(kClockPeriodMs);
}

CCorvaneDlg::~CCorvaneDlg() {
    if (!closing_) done(QDialog::Rejected);
    channels_.reset();
    receiver_->Detach();
}

platform::WindowReceiver& CCorvaneDlg::Receiver() const { return *receiver_; }

QWidget* CCorvaneDlg::MakeControl(const ControlTemplate& c, QWidget* parent) {
    if (c.kind == QLatin1String("listview")) {
        if (c.id == kMountList) return list_ = new QTableView(parent);
        return table_ = new QTableWidget(parent);
    }
    if (c.kind == QLatin1String("tree")) return tree_ = new QTreeWidget(parent);
    if (c.kind == QLatin1String("browser")) {
        // The map's view goes into this frame's layout.
        auto* area = new QFrame(parent);
        area->setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(area);
        layout->setContentsMargins(0, 0, 0, 0);
        return mapArea_ = area;
    }
    if (c.kind == QLatin1String("checklist")) return editor_ = new myCheckBox(parent);
    return nullptr;
}

void CCorvaneDlg::SetUpMountList() {
    list_->setModel(model_);
    list_->setItemDelegate(new MountRowDelegate(list_));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->setWordWrap(false);
    list_->setTabKeyNavigation(false);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    QHeaderView* header = list_->horizontalHeader();
    header->setFont(headerFont);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    // The last column fills what the others leave: a small minimum, so that
    // it never pushes the row wider than the list.
    header->setMinimumSectionSize(16);
    header->setDefaultSectionSize(16);
    header->setStretchLastSection(true);
    header->setSortIndicatorShown(false);
    header->viewport()->installEventFilter(this);

    // The outputs editor lies over the list's cells.
    editor_->setParent(list_->viewport());
    editor_->hide();
    editor_->setMinimumHeight(kEditorFieldHeight);
    editor_->addItem(QStringLiteral("BIN"));
    editor_->addItem(QStringLiteral("DEC"));

    controller_ = new MountListController(app_, list_, model_, editor_, this);
    connect(controller_, &MountListController::inspect, this,
            [this](MountpointEntry* e) { inspector_->FillMessageTree(e); });
    connect(controller_, &MountListController::noRow, this, [this] {
        if (title_) title_->clear();
    });
    connect(controller_, &MountListController::markChanged, this,
            [this](const QString& name, bool selected) { map_->UpdateMark(name, selected); });
}

void CCorvaneDlg::SetUpDecodedTable() {
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionsClickable(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setFont(tableHeaderFont);
    tree_->setHeaderHidden(true);
}

void CCorvaneDlg::AddSystemMenuItem() {
#ifdef Q_OS_WIN
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    const std::wstring about = QStringLiteral("Corvane 정보(&A)...").toStdWString();
    if (menu && !about.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutCommand, about.c_str());
    }
#endif
}

bool CCorvaneDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
#ifdef Q_OS_WIN
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand) {
        ShowAbout();
        *result = 0;
        return true;
    }
#endif
    return QDialog::nativeEvent(eventType, message, result);
}

void CCorvaneDlg::PlaceWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableGeometry().size() : size();
    AppSettings& s = app_.settings;
    const WindowPlacement p =
        corvane::PlaceWindow(s.x, s.y, s.w, s.h, width(), height(), area.width(), area.height());
    if (p.maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    s.x = p.x;
    s.y = p.y;
    s.w = p.w;
    s.h = p.h;
    move(p.x, p.y);
    resize(p.w, p.h);
}

void CCorvaneDlg::StorePlacement() {
    AppSettings& s = app_.settings;
    if (isMaximized()) {
        // Stored as covering the screen, so that it opens maximised again.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize area = screen ? screen->availableGeometry().size() : size();
        const QRect frame = frameGeometry();
        s.x = frame.x();
        s.y = frame.y();
        s.w = std::max(frame.width(), area.width());
        s.h = std::max(frame.height(), area.height());
        return;
    }
    s.x = x();
    s.y = y();
    s.w = width();
    s.h = height();
}

void CCorvaneDlg::RefreshMountList(int remember) {
    if (!Running()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        app_.registry.RefreshMountpoints(remember == 0);
        FillMountList(selectedOnly_);
        QApplication::restoreOverrideCursor();
        inspector_->FillMessageTree(nullptr);
        PostToSelf(WM_LAYOUT_COLUMNS);
    }
    if (remember == 1) SendWindowMessage(this, WM_UPDATE_MARKERS);
}

void CCorvaneDlg::FillMountList(int selectedOnly) { controller_->FillMountList(selectedOnly != 0); }

void CCorvaneDlg::LayoutColumns() {
    const std::vector<int> widths = MountListColumnWidths(list_->width());
    for (std::size_t i = 0; i < widths.size(); ++i)
        list_->setColumnWidth(static_cast<int>(i), widths[i]);
    const int version = inspector_->TreeVersion();
    if (version == 0) return;
    const std::vector<int> table =
        DecodedTableColumnWidths(version, inspector_->SelectedCode(), table_->width());
    for (std::size_t i = 0; i < table.size() && static_cast<int>(i) < table_->columnCount(); ++i)
        table_->setColumnWidth(static_cast<int>(i), table[i]);
}

void CCorvaneDlg::OnRefresh() { RefreshMountList(1); }

void CCorvaneDlg::OnShowSelected() {
    selectedOnly_ = !selectedOnly_;
    FillMountList(selectedOnly_);
    if (auto* b = controls_.As<QPushButton>(kShowSelected))
        b->setText(selectedOnly_ ? QStringLiteral("전체보기") : QStringLiteral("선택보기"));
}

void CCorvaneDlg::OnClearSelection() {
    if (Running()) return;
    controller_->ClearSelection(selectedOnly_);
}

void CCorvaneDlg::OnToggleDecodingView() {
    decodingView_ = !decodingView_;
    for (int id : {kInspectorTitle, kClock, kMessageTree, kDecodedTable})
        if (QWidget* w = controls_.Control(id)) w->setVisible(decodingView_);
    for (int id : {kBuiltinMap, kManualMap, kMapBrowser})
        if (QWidget* w = controls_.Control(id)) w->setVisible(!decodingView_);
    if (auto* b = controls_.As<QPushButton>(kDecodingView))
        b->setText(decodingView_ ? QStringLiteral("지도보기") : QStringLiteral("디코딩보기"));
}

void CCorvaneDlg::OnMapCaster(int caster) {
    if (caster == mapCaster_) return;
    mapCaster_ = caster;
    SendWindowMessage(this, WM_UPDATE_MARKERS);
}

void CCorvaneDlg::OnStartStop() {
    channels_->StartStop();
    ApplyRunState();
}

void CCorvaneDlg::ApplyRunState() {
    const bool running = Running();
    map_->EnableMark(!running);
    if (startButton_)
        startButton_->setText(running ? QStringLiteral("정지") : QStringLiteral("시작"));
    for (int id : {kRefresh, kClearSelection, kOptions})
        if (QWidget* w = controls_.Control(id)) w->setEnabled(!running);
}

void CCorvaneDlg::OnOptions() {
    if (Running()) return;
    if (parts_.options) {
        parts_.options(*this);
        return;
    }
    CNtripOptionDlg options(app_, this);
    options.exec();
}

void CCorvaneDlg::OnExit() { done(QDialog::Accepted); }

void CCorvaneDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CCorvaneDlg::done(int result) {
    if (!closing_) {
        closing_ = true;
        // Every channel ends before the window goes.
        if (Running()) {
            channels_->StopIfRunning();
            ApplyRunState();
        }
        if (clockTimer_) killTimer(clockTimer_);
        clockTimer_ = 0;
        StorePlacement();
        map_->RemovePageFiles();
    }
    QDialog::done(result);
}

void CCorvaneDlg::MapTick(const QString& name, int typ) {
    const int slot = (typ & 4) ? kManualSlot : kBuiltinSlot;
    const std::string narrow = platform::WideToNarrow(name.toStdU16String());
    MountpointMap& map = app_.registry.maps[static_cast<std::size_t>(slot)];
    const auto found = map.find(narrow);
    if (found == map.end()) return;
    MountpointEntry* e = found->second.get();
    e->selected = (typ & 1) ? 1 : 0;
    if (slot != mapCaster_) return;
    int row = controller_->RowOf(e);
    if (row < 0) {
        FillMountList(selectedOnly_);
        row = controller_->RowOf(e);
        if (row >= 0) list_->scrollTo(model_->index(row, 0));
        return;
    }
    list_->scrollTo(model_->index(row, 0));
    controller_->SetRowTick(row, e->selected != 0);
}

void CCorvaneDlg::MapMoved(int zoom, int lat, int lon) {
    app_.settings.scale = zoom;
    app_.settings.centerX = lat;
    app_.settings.centerY = lon;
}

void CCorvaneDlg::PostToSelf(std::uint32_t message) {
    QCoreApplication::postEvent(this, new WindowMessageEvent(message, 0, 0));
}

void CCorvaneDlg::Tick() {
    if (clock_)
        clock_->setText(
            QDateTime::currentDateTime().toString(QStringLiteral(" yyyy-MM-dd HH:mm:ss ")));
}

void CCorvaneDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == clockTimer_) {
        Tick();
        return;
    }
    QDialog::timerEvent(event);
}

void CCorvaneDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SendWindowMessage(this, WM_LAYOUT_COLUMNS);
}

bool CCorvaneDlg::eventFilter(QObject* watched, QEvent* event) {
    // The end of dragging a column divider brings the columns back to their
    // proportions.
    if (watched == list_->horizontalHeader()->viewport() &&
        event->type() == QEvent::MouseButtonRelease)
        PostToSelf(WM_LAYOUT_COLUMNS);
    return QDialog::eventFilter(watched, event);
}

bool CCorvaneDlg::event(QEvent* event) {
    auto* m = WindowMessageEvent::From(event);
    if (!m) return QDialog::event(event);
    switch (m->Message()) {
        case WM_REFRESH_REQUEST:
            RefreshMountList(1);
            break;
        case WM_CHANNEL_EVENT:
            controller_->ChannelEvent(reinterpret_cast<const MountpointEntry*>(m->WParam()));
            break;
        case WM_TCP_START_PORT:
            controller_->TcpStartPortChanged(static_cast<std::uint16_t>(m->WParam()));
            break;
        case WM_RTCM_DECODED:
            inspector_->RtcmDecoded(m->WParam(), m->LParam());
            break;
        case WM_UPDATE_MARKERS:
            map_->UpdateMarkers(mapCaster_);
            break;
        case WM_LAYOUT_COLUMNS:
            LayoutColumns();
            break;
        case WM_RESTORE_MAP_VIEW:
            map_->RestoreMapView();
            break;
        default:
            return QDialog::event(event);
    }
    return true;
}

}  // namespace corvane
