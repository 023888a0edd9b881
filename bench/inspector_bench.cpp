// The window thread's cost of the inspector's notifications: one for another
// mountpoint or type (what 49 of 50 streaming mountpoints send), a refill of
// the table with an MSM7 message of 20 to 30 cells, and the delivery of a
// posted notification through the window's event queue.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>

#include <cstdio>
#include <memory>

#include "app/channel_outputs.h"
#include "app/qt_window_receiver.h"
#include "app/window_message_event.h"
#include "bench/bench_data.h"
#include "net/ntrip_channel.h"
#include "net/run_flag.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "ui/message_inspector_view.h"

namespace {

using namespace corvane;

// The window: hands WM_RTCM_DECODED to the inspector.
class Window : public QObject {
public:
    MessageInspector* inspector = nullptr;
    bool event(QEvent* e) override {
        auto* m = WindowMessageEvent::From(e);
        if (!m) return QObject::event(e);
        if (m->Message() == WM_RTCM_DECODED && inspector) inspector->RtcmDecoded(m->WParam(), m->LParam());
        return true;
    }
};

// An inspector showing MSM7 GPS of a mountpoint whose decoder has taken a
// recorded stream.
struct Rig {
    Rig() : receiver(&window) {
        const auto bytes = bench::ReadBytes(
            bench::DataDir() + "/rtcm3/rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3");
        context.outputs = &outputs;
        channel = std::make_unique<NtripChannel>(&nothing, context);
        entry.formatVersion = 3.0f;
        entry.selected = 1;
        channel->OpenOutputs(&entry);
        runFlag = 1;
        channel->ProcessBlock(bytes.data(), static_cast<int>(bytes.size()));
        entry.channel = channel.get();
        inspector = std::make_unique<MessageInspectorView>(
            MessageInspectorView::Controls{&name, &tree, &table}, receiver);
        window.inspector = inspector.get();
        inspector->FillMessageTree(&entry);
        for (QTreeWidgetItemIterator it(&tree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).value<std::uint32_t>() == kMsm7Gps) tree.setCurrentItem(*it);
        QCoreApplication::processEvents();
        other.selected = 1;
        other.formatVersion = 3.0f;
        other.channel = channel.get();
    }
    ~Rig() {
        entry.channel = nullptr;
        runFlag = 0;
        channel->Stop();
    }
    static constexpr std::uint32_t kMsm7Gps = MessageCode(kKindMsm7, 1);
    bench::NullWindow nothing;
    StandardChannelOutputs outputs;
    ChannelContext context;
    MountpointEntry entry, other;
    std::unique_ptr<NtripChannel> channel;
    Window window;
    QtWindowReceiver receiver;
    QLabel name;
    QTreeWidget tree;
    QTableWidget table;
    std::unique_ptr<MessageInspectorView> inspector;
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

void BM_NotificationOfAnotherMountpoint(benchmark::State& state) {
    Rig& r = TheRig();
    const auto other = reinterpret_cast<std::uintptr_t>(&r.other);
    for (auto _ : state) r.inspector->RtcmDecoded(other, Rig::kMsm7Gps);
}

void BM_NotificationOfAnotherType(benchmark::State& state) {
    Rig& r = TheRig();
    const auto entry = reinterpret_cast<std::uintptr_t>(&r.entry);
    for (auto _ : state) r.inspector->RtcmDecoded(entry, MessageCode(kKindMsm7, 2));
}

// The shown type: the record is copied under the decoder's lock, formatted,
// and the table's texts set (the same message again, or into an empty table).
void BM_Msm7Refill(benchmark::State& state) {
    Rig& r = TheRig();
    const bool emptied = state.range(0) != 0;
    const auto entry = reinterpret_cast<std::uintptr_t>(&r.entry);
    for (auto _ : state) {
        if (emptied) r.table.setRowCount(0);
        r.inspector->RtcmDecoded(entry, Rig::kMsm7Gps);
    }
    state.counters["rows"] = r.table.rowCount();
}

// A notification of another mountpoint as the window gets it: posted from
// the channel's side, queued, dispatched on the window thread.
void BM_PostedNotificationOfAnotherMountpoint(benchmark::State& state) {
    Rig& r = TheRig();
    const auto other = reinterpret_cast<std::uintptr_t>(&r.other);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) r.receiver.Post(WM_RTCM_DECODED, other, Rig::kMsm7Gps);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

BENCHMARK(BM_NotificationOfAnotherMountpoint);
BENCHMARK(BM_NotificationOfAnotherType);
BENCHMARK(BM_Msm7Refill)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostedNotificationOfAnotherMountpoint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
